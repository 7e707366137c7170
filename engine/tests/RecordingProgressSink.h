// A ProgressSink that writes down every call, e.g. "SetRange(0,4)" and
// "SetPos(2)", and otherwise behaves like a plain progress bar.
#pragma once

#include <string>
#include <vector>

#include "engine/ProgressSink.h"

class RecordingProgressSink : public ProgressSink {
public:
    std::vector<std::string> calls;

    bool SetRange(int32_t newLower, int32_t newUpper) override {
        Record("SetRange(" + std::to_string(newLower) + "," + std::to_string(newUpper) + ")");
        lower = newLower;
        upper = newUpper;
        return true;
    }
    void GetRange(int32_t& outLower, int32_t& outUpper) override {
        Record("GetRange");
        outLower = lower;
        outUpper = upper;
    }
    bool SetPos(int32_t newPosition) override {
        Record("SetPos(" + std::to_string(newPosition) + ")");
        position = newPosition;
        return true;
    }
    int32_t GetPos() override {
        Record("GetPos");
        return position;
    }
    int32_t OffsetPos(int32_t delta) override {
        Record("OffsetPos(" + std::to_string(delta) + ")");
        int32_t previous = position;
        position += delta;
        return previous;
    }
    int32_t SetStep(int32_t newStep) override {
        Record("SetStep(" + std::to_string(newStep) + ")");
        int32_t previous = step;
        step = newStep;
        return previous;
    }
    int32_t StepIt() override {
        Record("StepIt");
        int32_t previous = position;
        position += step;
        return previous;
    }
    bool SetText1(const char* text) override { return Record(std::string("SetText1:") + text); }
    bool SetText2(const char* text) override { return Record(std::string("SetText2:") + text); }
    bool SetText3(const char* text) override { return Record(std::string("SetText3:") + text); }

private:
    bool Record(std::string call) {
        calls.push_back(std::move(call));
        return true;
    }

    int32_t lower = 0;
    int32_t upper = 100;
    int32_t position = 0;
    int32_t step = 10;
};
