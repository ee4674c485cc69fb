#include "platform/X11Selection.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

class Connection
{
public:
    Connection() : connection(xcb_connect(nullptr, nullptr)) {}
    ~Connection() { xcb_disconnect(connection); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    bool usable() const { return !xcb_connection_has_error(connection); }
    xcb_connection_t* get() const { return connection; }

private:
    xcb_connection_t* connection;
};

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name)
{
    const Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
                              nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// Reads one selection conversion through to its end, however long the owner takes, unless
// stopped or out of patience.
class Conversion
{
public:
    Conversion(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, const std::atomic<bool>& stop,
               Clock::time_point deadline)
        : connection(connection), window(window), property(property), stop(stop), deadline(deadline)
    {
    }

    // Nothing when the owner did not answer in time; an empty optional inside for a target
    // it refused.
    std::optional<std::optional<std::string>> read(xcb_atom_t selection, xcb_atom_t target, xcb_atom_t incremental)
    {
        xcb_convert_selection(connection, window, selection, target, property, XCB_CURRENT_TIME);
        xcb_flush(connection);
        Owned<xcb_generic_event_t> notify = waitFor(XCB_SELECTION_NOTIFY);
        if (!notify)
            return std::nullopt;
        if (reinterpret_cast<xcb_selection_notify_event_t*>(notify.get())->property == XCB_ATOM_NONE)
            return std::optional<std::string>();
        std::string bytes;
        xcb_atom_t type = XCB_ATOM_NONE;
        if (!take(bytes, type))
            return std::nullopt;
        if (type != incremental)
            return std::optional<std::string>(std::move(bytes));
        // INCR: the owner sends a piece each time the last one was taken, an empty one last.
        bytes.clear();
        for (;;) {
            if (!waitFor(XCB_PROPERTY_NOTIFY))
                return std::nullopt;
            std::string piece;
            if (!take(piece, type))
                return std::nullopt;
            if (piece.empty())
                return std::optional<std::string>(std::move(bytes));
            bytes += piece;
        }
    }

private:
    // The property's value, deleted as it is read (which asks an INCR owner for more).
    bool take(std::string& bytes, xcb_atom_t& type)
    {
        const Owned<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                                   nullptr),
            &std::free);
        if (!reply)
            return false;
        type = reply->type;
        const int length = xcb_get_property_value_length(reply.get());
        bytes.assign(static_cast<const char*>(xcb_get_property_value(reply.get())), static_cast<std::size_t>(length));
        return true;
    }

    Owned<xcb_generic_event_t> waitFor(uint8_t type)
    {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                Owned<xcb_generic_event_t> owned(event, &std::free);
                const uint8_t kind = event->response_type & 0x7F;
                if (kind == type && kind == XCB_SELECTION_NOTIFY
                    && reinterpret_cast<xcb_selection_notify_event_t*>(event)->requestor == window)
                    return owned;
                if (kind == type && kind == XCB_PROPERTY_NOTIFY) {
                    const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
                    if (change->window == window && change->atom == property && change->state == XCB_PROPERTY_NEW_VALUE)
                        return owned;
                }
            }
            if (xcb_connection_has_error(connection) || stop.load() || Clock::now() >= deadline)
                return {nullptr, &std::free};
            pollfd ready{xcb_get_file_descriptor(connection), POLLIN, 0};
            ::poll(&ready, 1, 50);   // so that a stop is seen within 50 ms
        }
    }

    xcb_connection_t* connection;
    xcb_window_t window;
    xcb_atom_t property;
    const std::atomic<bool>& stop;
    Clock::time_point deadline;
};

} // namespace

X11SelectionReading readX11Clipboard(const std::vector<std::string>& targets, const std::atomic<bool>& stop,
                                     int patienceMs)
{
    const Connection connection;
    if (!connection.usable())
        return {};
    xcb_connection_t* const x = connection.get();
    const xcb_atom_t clipboard = atom(x, "CLIPBOARD");
    const Owned<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, clipboard), nullptr), &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return {X11SelectionReading::Outcome::Empty, {}};

    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const xcb_window_t window = xcb_generate_id(x);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      screen->root_visual, XCB_CW_EVENT_MASK, &events);
    Conversion conversion(x, window, atom(x, "PRIZMO_CLIPBOARD"), stop,
                          Clock::now() + std::chrono::milliseconds(patienceMs));
    const xcb_atom_t incremental = atom(x, "INCR");
    for (const std::string& target : targets) {
        const auto read = conversion.read(clipboard, atom(x, target), incremental);
        if (!read)
            return {X11SelectionReading::Outcome::NoAnswer, {}};
        if (*read)
            return {X11SelectionReading::Outcome::Read, std::move(**read)};
    }
    return {X11SelectionReading::Outcome::Empty, {}};
}
