// An engine caller with no window: it keeps what the engine reported, never
// waits, and answers the in-use question as the test tells it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/engine_caller.h"

struct RecordingCaller final : EngineCaller {
    void workStarted(uint32_t units, int steps) override
    {
        total += units;
        stepCount = steps;
    }
    void stepStarted(int step, const char* shown) override
    {
        lastStep = step;
        lastShown = shown;
        if (onStep) {
            onStep(step);
        }
    }
    void progressed(uint32_t units) override { done += units; }
    void pause(uint32_t) override {}
    bool retryFileInUse(const char* path) override
    {
        filesInUse.push_back(path);
        return retriesLeft-- > 0;
    }

    uint32_t total = 0;
    uint32_t done = 0;
    int stepCount = 0;
    int lastStep = -1;
    std::string lastShown;
    std::vector<std::string> filesInUse;
    int retriesLeft = 0;
    // Runs as each step begins, before its file is written.
    std::function<void(int)> onStep;
};
