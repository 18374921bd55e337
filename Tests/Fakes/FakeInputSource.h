// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/InputSource.h"

#include <string>

namespace clickory {

// A scriptable input source: emit() delivers an event while started, fail() stops it as a lost X
// server would. `opens` and `permission` decide what start() and canReadInput() answer.
class FakeInputSource final : public InputSource
{
public:
    bool opens = true;
    bool permission = true;
    int starts = 0;

    bool start(InputSink& sink) override
    {
        if (m_sink != nullptr)
        {
            return true;
        }
        ++starts;
        if (!opens)
        {
            m_lastError = "no source";
            return false;
        }
        m_sink = &sink;
        m_lastError.clear();
        return true;
    }

    void stop() override { m_sink = nullptr; }
    bool isRunning() const override { return m_sink != nullptr; }
    bool canReadInput() const override { return permission; }
    std::string lastError() const override { return m_lastError; }

    // Delivers `event` if started; returns whether it was delivered.
    bool emit(const InputEvent& event)
    {
        if (m_sink == nullptr)
        {
            return false;
        }
        m_sink->receive(event);
        return true;
    }

    void fail(const std::string& reason)
    {
        InputSink* sink = m_sink;
        m_sink = nullptr;
        m_lastError = reason;
        if (sink != nullptr)
        {
            sink->sourceStopped(reason);
        }
    }

private:
    InputSink* m_sink = nullptr;
    std::string m_lastError;
};

} // namespace clickory
