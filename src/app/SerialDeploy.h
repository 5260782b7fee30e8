// Making sure the serial-port component is in place before the main window
// opens. The decision runs over a small platform interface so that every case
// of it can be tried without touching the system.
#pragma once

namespace app {

// What start-up needs to know about, and do with, the serial-port component.
class SerialControlPlatform {
public:
    virtual ~SerialControlPlatform() = default;
    // The component's file in the system data directory.
    virtual bool ControlInSystemDir() const = 0;
    // The component's file beside the executable.
    virtual bool ControlInExeDir() const = 0;
    // The registration tool in the system data directory.
    virtual bool RegToolInSystemDir() const = 0;
    // Copies the component's file and the registration tool from beside the
    // executable into the system data directory, replacing them; failures pass.
    virtual void CopyFromExeDir() = 0;
    // Writes the copy of the component's file the program carries; failures pass.
    virtual void WriteCarriedControl() = 0;
    // Starts the registration tool on the component's file, without waiting.
    virtual void StartRegistration() = 0;
};

enum class SerialSetup {
    Present, // nothing to do
    Copied,  // copied from beside the executable, then registered
    Written, // written from the carried copy, then registered
    Fatal,   // "Fatal Error: Register file can not be found, ..."; the program ends
};

// Decides and carries out the placing of the component (the first matching case):
//   in the system directory and the tool there         -> nothing
//   beside the executable and the tool there            -> copy, register
//   beside the executable, no tool                      -> fatal
//   in the system directory, not beside, no tool        -> fatal
//   neither in the system directory nor beside          -> write the carried copy, register
SerialSetup DeploySerialControl(SerialControlPlatform& platform);

// The platform of this build. The serial port is driven by a serial-port
// library linked into the program: there is no component file to place and
// nothing to register, so the component and the tool count as present and
// the decision always ends in "nothing to do".
class LinkedSerialPlatform : public SerialControlPlatform {
public:
    bool ControlInSystemDir() const override { return true; }
    bool ControlInExeDir() const override { return false; }
    bool RegToolInSystemDir() const override { return true; }
    void CopyFromExeDir() override {}
    void WriteCarriedControl() override {}
    void StartRegistration() override {}
};

} // namespace app
