#pragma once

namespace pellorin {

// Lets other work run now and then during a long export, so the window
// repaints and takes input. The renderer calls poll() every few thousand
// cells; the yielder decides by the clock whether to hand over.
class Yielder {
public:
    virtual ~Yielder() = default;

    // May run other work, which may change the rows being read.
    virtual void poll() = 0;
};

// For work that must not be interrupted, and for tests.
class NeverYield final : public Yielder {
public:
    void poll() override { }
};

} // namespace pellorin
