// InstanceChannel: how a second copy of the program hands a command (a verb with at most one
// UTF-8 argument) to the copy that runs, and waits until that copy has carried it out. One message
// per connection, answered with one byte and a line of text. Back ends: an AF_UNIX socket in the user's private lock
// directory (platform/posix), a named pipe open to the user alone (platform/win32). The message
// format is the same on both and is defined here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace tw::platform {

struct InstanceMessage {
    std::string verb;     // lower-case ASCII letters, 1 to MaxVerbSize of them
    std::string argument; // UTF-8, at most MaxArgumentSize bytes; empty for verbs without one
    bool operator==(const InstanceMessage&) const = default;
};

constexpr std::size_t MaxVerbSize = 16;
constexpr std::size_t MaxArgumentSize = 4096;
// "verb SP length LF argument": the longest message that can be well-formed.
constexpr std::size_t MaxMessageSize = MaxVerbSize + 1 + 4 + 1 + MaxArgumentSize;

// The message as it crosses the channel: the verb, a space, the argument's length in decimal, a line
// feed, then the argument's bytes. Empty when the message cannot be sent (bad verb, argument too long
// or not UTF-8).
std::string EncodeInstanceMessage(const InstanceMessage& message);

enum class FrameStatus { Complete, Incomplete, Invalid };
// Reads bytes received so far. Complete fills message; Incomplete asks for more bytes; Invalid for
// anything else, also a well-formed message with bytes after it, or more bytes than MaxMessageSize.
FrameStatus DecodeInstanceMessage(std::string_view bytes, InstanceMessage& message);

// What the running copy says of a message.
enum class InstanceReply : char {
    Done = '+',    // carried out
    Failed = '-',  // understood, but it could not be carried out (the program is ending, a save failed)
    Ignored = '?', // not a known verb, or ill-formed: nothing changed
    Refused = '!', // understood, but its argument was not acceptable: nothing changed
};

// The reply and one line for the second copy to print (empty: nothing to print). A bare reply
// converts to an answer without a line.
struct InstanceAnswer {
    InstanceReply reply = InstanceReply::Ignored;
    std::string text;
    InstanceAnswer(InstanceReply r = InstanceReply::Ignored, std::string t = {}) : reply(r), text(std::move(t)) {}
    bool operator==(const InstanceAnswer&) const = default;
};

constexpr std::size_t MaxAnswerTextSize = 2048;
// "reply length LF text": the longest answer that can be well-formed.
constexpr std::size_t MaxAnswerSize = 1 + 4 + 1 + MaxAnswerTextSize;

// The answer as it crosses the channel: the reply's byte, the text's length in decimal, a line feed,
// then the text. A text longer than MaxAnswerTextSize is cut at a character's start; control
// characters become '?', and a text that is not UTF-8 is left out.
std::string EncodeInstanceAnswer(const InstanceAnswer& answer);
// Reads the answer's bytes received so far, as DecodeInstanceMessage does. A copy of an earlier
// version answers with the reply's byte alone: Incomplete, with answer.reply set, when its
// connection ends there.
FrameStatus DecodeInstanceAnswer(std::string_view bytes, InstanceAnswer& answer);

enum class SendResult {
    Done,
    Failed,
    Ignored,
    Refused,
    NotRunning, // nobody listens under that name
    NoAnswer,   // connected, but no answer came in time
};
// What a second copy makes of the answer's bytes it has when the connection ends (or the answer is
// whole): NoAnswer without a valid reply byte; the text only from a whole, well-formed answer.
SendResult ReadAnswer(std::string_view bytes, std::string* text);

class InstanceChannel {
public:
    using Handler = std::function<InstanceAnswer(const InstanceMessage&)>;
    virtual ~InstanceChannel() = default;

    // The running copy listens for messages sent to identifier. Call only while holding the
    // single-instance lock: whatever a killed copy left under that name is cleared first. False
    // when it cannot listen; the copy then runs without the channel.
    virtual bool listen(const std::string& identifier) = 0;
    // What becomes ready when serve has work: a file descriptor to read (POSIX) or an event handle
    // (Windows); -1 when not listening.
    virtual std::intptr_t readyHandle() const = 0;
    // Takes every connection that waits, calls handler for each well-formed message from this
    // user and answers with what it returns; anything else is answered Ignored, or not at all.
    // Returns at once when nothing waits. The program calls it on the user-interface thread.
    virtual void serve(const Handler& handler) = 0;
    virtual void close() = 0;

    // A second copy: hands message to the copy listening for identifier and waits at most
    // timeoutMs for its answer; text (when given) receives the answer's text.
    virtual SendResult send(const std::string& identifier, const InstanceMessage& message, int timeoutMs,
                            std::string* text) = 0;
    SendResult send(const std::string& identifier, const InstanceMessage& message, int timeoutMs) {
        return send(identifier, message, timeoutMs, nullptr);
    }
};

// This platform's channel.
std::unique_ptr<InstanceChannel> MakeInstanceChannel();

} // namespace tw::platform
