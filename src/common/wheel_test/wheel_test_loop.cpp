#include "common/wheel_test/wheel_test_loop.h"

namespace nl {

void RunWheelSteps(WheelGrader& grader, WheelTestPort& port) {
    while (const auto step = grader.Next()) {
        port.Progress(grader);
        if (port.StopAsked()) return grader.Stop("stopped");
        if (std::string problem = port.Check(); !problem.empty()) {
            // Esc is itself a key held down: a check it failed is a stop.
            return grader.Stop(port.StopAsked() ? std::string("stopped") : problem);
        }
        if (std::string refused = port.Send(*step); !refused.empty())
            return grader.Fail("the system refused the input: " + refused);
        StepReading reading = port.Read(*step);
        // A reading lost to the target closing or hiding under the step is
        // that, not an unmeasured step.
        if (!reading.reason.empty()) {
            if (std::string problem = port.Check(); !problem.empty())
                return grader.Stop(port.StopAsked() ? std::string("stopped") : problem);
        }
        grader.Feed(reading);
    }
}

}  // namespace nl
