#include "Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return cli::Run(cli::Args(argv + 1, argv + argc), std::cout, std::cerr);
}
