// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// A call that may block for as long as a server likes (a folder read on a stale network share),
// made on a thread of its own so that its caller can stop waiting for it. The thread is never
// joined: the state it shares with the caller lives as long as either needs it, and an answer
// that comes after the caller gave up is dropped with it. The call must own what it uses
// (capture by value): the caller and everything it knows may be gone when it ends.
template <typename T>
class AbandonableCall {
public:
    explicit AbandonableCall(std::function<T()> call) : state_(std::make_shared<State>())
    {
        std::thread([state = state_, call = std::move(call)] {
            std::optional<T> value;
            std::exception_ptr error;
            try {
                value.emplace(call());
            } catch (...) {
                error = std::current_exception();
            }
            // Moved, not copied: the exception is then let go of by whoever takes it, never
            // by this thread while the caller may still be reading it.
            const std::lock_guard lock(state->mutex);
            state->value = std::move(value);
            state->error = std::move(error);
            state->done = true;
            state->answered.notify_all();
        }).detach();
    }

    // Whether the call has answered, waiting at most `ms` milliseconds for it.
    bool answeredWithin(int ms)
    {
        std::unique_lock lock(state_->mutex);
        return state_->answered.wait_for(lock, std::chrono::milliseconds(ms), [this] { return state_->done; });
    }

    // The call's value, or its exception thrown again; only once it has answered.
    T take()
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->error)
            std::rethrow_exception(std::exchange(state_->error, nullptr));
        return std::move(*state_->value);
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        std::optional<T> value;
        std::exception_ptr error;
    };
    std::shared_ptr<State> state_;
};
