// Where an installation run reports its progress.
//
// The install dialog's progress bar implements it; tests record the calls.
// The ten operations stand in this order on purpose: it is the interface's
// fixed slot order. The installation engine calls only SetRange(0, 4) once
// and then SetPos with 0 to 4.
//
//   SetRange, SetPos, SetText1..3   always true
//   GetRange                        the range set last
//   GetPos                          the current position
//   OffsetPos, StepIt               the position before the move
//   SetStep                         the previous step
#pragma once

#include <cstdint>

class ProgressSink {
public:
    virtual bool SetRange(int32_t lower, int32_t upper) = 0;
    virtual void GetRange(int32_t& lower, int32_t& upper) = 0;
    virtual bool SetPos(int32_t position) = 0;
    virtual int32_t GetPos() = 0;
    virtual int32_t OffsetPos(int32_t delta) = 0;
    virtual int32_t SetStep(int32_t step) = 0;
    virtual int32_t StepIt() = 0;
    virtual bool SetText1(const char* text) = 0;
    virtual bool SetText2(const char* text) = 0;
    virtual bool SetText3(const char* text) = 0;

protected:
    // Not virtual, so the ten operations keep their slots; nobody deletes a
    // sink through this interface.
    ~ProgressSink() = default;
};
