#include "SerialDeploy.h"

namespace app {

SerialSetup DeploySerialControl(SerialControlPlatform& p) {
    const bool inSystem = p.ControlInSystemDir();
    const bool inExe = p.ControlInExeDir();
    const bool tool = p.RegToolInSystemDir();
    if (inSystem && tool) return SerialSetup::Present;
    if (inExe && tool) {
        p.CopyFromExeDir();
        p.StartRegistration();
        return SerialSetup::Copied;
    }
    if (inExe && !tool) return SerialSetup::Fatal;
    if (inSystem && !inExe && !tool) return SerialSetup::Fatal;
    p.WriteCarriedControl();
    p.StartRegistration();
    return SerialSetup::Written;
}

} // namespace app
