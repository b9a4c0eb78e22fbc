#include "wheel_test/wheel_test_port.h"

#include "tested_window/zoom_reader.h"
#include "wheel_test/session.h"
#include "wheel_test/wheel_test_run.h"

namespace nl {

namespace {
int WholeMsHalfUp(std::int64_t us) { return static_cast<int>((us < 0 ? 0 : us + 500) / 1000); }
}  // namespace

void SystemPort::Progress(const WheelGrader& grader) {
    progress_(WheelTestProgress{grader.Progress(), grader.Lines(), std::nullopt});
}

bool SystemPort::StopAsked() { return stop_ || EscPressed(); }

std::string SystemPort::Check() { return CheckTestedWindow(place_, how_, delivery_.HeldKeys()); }

std::string SystemPort::Send(const WheelStep& step) {
    if (step.setLines) {
        if (!setting_) return "no setting can be changed";
        if (std::string problem = setting_->Set(*step.setLines); !problem.empty())
            return "the setting " + std::to_string(*step.setLines) + " could not be made: " + problem;
        vertical_.Mark();  // a setting may redraw the window
        return std::string();
    }
    if (step.markZoom && zoom_) zoom_->Mark();
    if (step.holdCtrl) delivery_.HoldKeys(true, false);
    const std::string refused = step.posted ? delivery_.Post(step.horizontal, step.delta, step.count, step.keys)
                                            : delivery_.Send(step.horizontal, step.delta, step.count);
    sentAt_ = ClockUs();
    if (step.holdCtrl) delivery_.HoldKeys(false, false);
    return refused;
}

StepReading SystemPort::Read(const WheelStep& step) {
    StepReading r;
    if (step.setLines) return r;
    if (step.readZoom && zoom_) {
        const ZoomReader::Reading z = zoom_->Settle();
        r.zoomPercent = z.percent;
        r.zoomMoved = z.change == ZoomChange::Moved;
        r.reason = z.reason;
        vertical_.Mark();  // a zoom changes the picture a position is read from
        horizontal_.Mark();
        return r;
    }
    PositionReader& reader = step.horizontal ? horizontal_ : vertical_;
    const PositionReader::Settled settled = SettleStep(reader, step.timed ? 2 : 30);
    (step.horizontal ? vertical_ : horizontal_).Mark();  // its picture may have changed too
    r.movement = settled.movement;
    r.reason = settled.reason;
    if (!step.horizontal) {
        r.position = settled.position;
        r.freeBelow = vertical_.ReadRange().freeBelow;
    }
    if (step.timed && settled.agreed) r.catchUpMs = WholeMsHalfUp(settled.settledAtUs - sentAt_);
    return r;
}

}  // namespace nl
