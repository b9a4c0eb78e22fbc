// The wheel test's loop, apart from any window: before each step the grader
// asks for, whether the test may go on; then the step is delivered, and what
// it did is read and fed back. Notchlog's own failures end the test as
// could-not-test, never as a grade: a delivery the system refused, above all.
#pragma once

#include <string>

#include "common/wheel_test/wheel_grader.h"

namespace nl {

// What the loop needs of the window under test and of the person at the
// keyboard; the run implements it with the system, a test with a stand-in.
class WheelTestPort {
public:
    virtual ~WheelTestPort() = default;
    // Before each step is sent: the grader as it stands (the step under
    // way, the lines measured so far).
    virtual void Progress(const WheelGrader& grader) = 0;
    // Esc or Start pressed.
    virtual bool StopAsked() = 0;
    // Empty while the test may go on, else why not ("the target was closed").
    virtual std::string Check() = 0;
    // Delivers the step; empty, or why the system refused the input
    // ("SendInput took 3 of 20 events").
    virtual std::string Send(const WheelStep& step) = 0;
    // What the step did, once the target has come to rest.
    virtual StepReading Read(const WheelStep& step) = 0;
};

// Plays the grader's steps through the port until the test is over.
void RunWheelSteps(WheelGrader& grader, WheelTestPort& port);

}  // namespace nl
