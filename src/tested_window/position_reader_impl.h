// PositionReader's workings, which two files share: position_reader_methods.cpp
// chooses how an axis is read and asks the window for its position;
// position_reader.cpp follows the picture, waits for the readings to settle
// and holds the reader itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tested_window/picture_reader.h"
#include "tested_window/tested_window.h"

namespace nl {

struct PositionReader::Impl {
    HWND target = nullptr, measured = nullptr;
    HWND asked = nullptr;  // the window a message method asks
    bool horizontal = false;
    ReadMethod method = ReadMethod::Image;
    // The base of the next movement, and where the first Mark found it
    // (a message's own position; for the picture, pixels from the first Mark).
    std::optional<std::int32_t> basePosition, startPosition;
    bool marked = false;
    // The picture: followed from its base, which was this far from where
    // the first Mark found it (unknown once a movement could not be read).
    std::optional<PictureReader> picture;
    std::optional<std::int32_t> pictureOffset{0};
    std::string lastProblem = "the picture could not be followed";
    // A look at the method without a reader (ChooseMethod): every message
    // shares this deadline (ClockUs; 0: none), and once one goes unanswered
    // no more are sent.
    std::int64_t deadlineUs = 0;
    mutable bool unanswered = false;

    // position_reader_methods.cpp: asking the window, and the choice of method.
    std::optional<std::int32_t> AskWith(UINT msg, WPARAM wp, LPARAM lp) const;
    std::optional<std::int32_t> Ask(UINT msg) const;
    std::optional<std::int32_t> ScrollInfoPosition() const;
    std::optional<std::int32_t> Position() const;
    Range ReadRange() const;
    std::optional<std::int32_t> EditLinesShown(std::int32_t first, LONG height) const;
    bool Try(ReadMethod candidate, HWND w);
    void ChooseMethod();
    void Choose();

    // One reading: a position (the picture's, from where the first Mark
    // found it), or why there is none.
    struct Reading {
        bool valid = false;  // a position was read, or a picture taken
        std::optional<std::int32_t> position;
        bool samePicture = false;  // the picture is the one the reading before took
        std::string problem;
        bool Agrees(const Reading& before) const {
            return samePicture || (position && position == before.position);
        }
    };

    // position_reader.cpp: reading (the picture's included) and settling.
    Reading Read();
    const char* RestlessText() const;
    Settled Wait(int pollMs, Reading& last);
};

}  // namespace nl
