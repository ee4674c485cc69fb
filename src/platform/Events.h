#pragma once

#include <exception>
#include <functional>

using TNotifyEvent = std::function<void()>;

// Runs an event handler for Qt. Whatever the handler throws ends that handler only: it is
// shown in the application's exception report and the event loop goes on, so no exception
// ever crosses Qt's event loop.
void RunGuarded(const TNotifyEvent& handler) noexcept;

// The application's exception report: a message box with the exception's text.
void ShowException(std::exception_ptr exception) noexcept;
