// A lamp of the window: an off picture and an on picture lying on the same
// spot, of which exactly one is shown.
#pragma once

class QLabel;

struct Lamp {
    QLabel *off = nullptr;
    QLabel *on = nullptr;

    // Shows the on picture when lit, the off picture otherwise.
    void setLit(bool lit) const;
    // Whether the on picture is the one shown.
    bool isLit() const;
};
