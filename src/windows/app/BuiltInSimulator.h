// The simulated instrument inside the program: delvar-sim's engine on a private
// loopback port, served from its own thread until the program ends.
#pragma once

#include <memory>
#include <string>

namespace delvar::windows {

struct SimulatorSetup {
    std::string setupFile;  // the setup database it starts from; empty: defaults
    double speed = 1.0;     // simulated seconds per real second
    bool codep = true;      // the CoDep model with four outputs
};

class BuiltInSimulator {
  public:
    BuiltInSimulator();
    ~BuiltInSimulator();  // stops the thread and closes the port
    // Starts it; false with a reason in error (a setup file that is not a setup database).
    bool Start(const SimulatorSetup& setup, std::string& error);
    int Port() const;  // its loopback TCP port once started

  private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

}  // namespace delvar::windows
