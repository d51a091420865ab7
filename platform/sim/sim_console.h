#pragma once

#include <string>

#include "platform/console_output.h"

namespace drvsweep::sim {

// The standard output and error of a simulated run, kept for the test to read. A machine
// without them (a program started with no console and no redirection) writes nowhere.
class SimConsole : public ConsoleOutput {
public:
    bool WriteOutput(const std::string& utf8) override;
    bool WriteError(const std::string& utf8) override;

    void SetAttached(bool attached) { attached_ = attached; }
    const std::string& output() const { return output_; }
    const std::string& error() const { return error_; }

private:
    bool attached_ = true;
    std::string output_;
    std::string error_;
};

}  // namespace drvsweep::sim
