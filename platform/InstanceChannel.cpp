// The message format of InstanceChannel, shared by every back end.
#include "platform/InstanceChannel.h"

namespace tw::platform {

namespace {

bool validVerb(std::string_view verb) {
    if (verb.empty() || verb.size() > MaxVerbSize)
        return false;
    for (const char c : verb)
        if (c < 'a' || c > 'z')
            return false;
    return true;
}

// Well-formed UTF-8 without overlong forms, surrogates or code points above U+10FFFF, and no NUL.
bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t n = 0;
        std::uint32_t cp = 0, min = 0;
        if ((c & 0xE0) == 0xC0) {
            n = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// The rest of a frame from offset from: a decimal length (no leading zeros, so that each frame has
// one spelling, and at most max), LF, and exactly that many bytes, which go to body.
FrameStatus ReadCountedBody(std::string_view bytes, std::size_t from, std::size_t max, std::string_view& body) {
    const std::size_t newline = bytes.find('\n', from);
    const std::string_view digits = bytes.substr(from, newline == std::string_view::npos ? bytes.npos : newline - from);
    std::size_t length = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return FrameStatus::Invalid;
        length = length * 10 + static_cast<std::size_t>(c - '0');
        if (length > max)
            return FrameStatus::Invalid;
    }
    if (digits.size() > 1 && digits[0] == '0')
        return FrameStatus::Invalid;
    if (newline == std::string_view::npos)
        return FrameStatus::Incomplete;
    if (digits.empty())
        return FrameStatus::Invalid;
    const std::size_t end = newline + 1 + length;
    if (bytes.size() < end)
        return FrameStatus::Incomplete;
    if (bytes.size() > end)
        return FrameStatus::Invalid;
    body = bytes.substr(newline + 1);
    return FrameStatus::Complete;
}

} // namespace

std::string EncodeInstanceMessage(const InstanceMessage& message) {
    if (!validVerb(message.verb) || message.argument.size() > MaxArgumentSize || !validUtf8(message.argument))
        return {};
    return message.verb + ' ' + std::to_string(message.argument.size()) + '\n' + message.argument;
}

FrameStatus DecodeInstanceMessage(std::string_view bytes, InstanceMessage& message) {
    if (bytes.size() > MaxMessageSize)
        return FrameStatus::Invalid;
    const std::size_t space = bytes.find(' ');
    const std::string_view verb = bytes.substr(0, space);
    // The verb so far must be one that can still become valid.
    for (const char c : verb)
        if (c < 'a' || c > 'z')
            return FrameStatus::Invalid;
    if (verb.size() > MaxVerbSize)
        return FrameStatus::Invalid;
    if (space == std::string_view::npos)
        return FrameStatus::Incomplete;
    if (verb.empty())
        return FrameStatus::Invalid;
    std::string_view argument;
    if (const FrameStatus status = ReadCountedBody(bytes, space + 1, MaxArgumentSize, argument);
        status != FrameStatus::Complete)
        return status;
    if (!validUtf8(argument))
        return FrameStatus::Invalid;
    message.verb = std::string(verb);
    message.argument = std::string(argument);
    return FrameStatus::Complete;
}

namespace {

bool validReply(char c) {
    return c == static_cast<char>(InstanceReply::Done) || c == static_cast<char>(InstanceReply::Failed) ||
           c == static_cast<char>(InstanceReply::Ignored) || c == static_cast<char>(InstanceReply::Refused);
}

bool controlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

std::string EncodeInstanceAnswer(const InstanceAnswer& answer) {
    std::string text = answer.text.substr(0, MaxAnswerTextSize);
    if (answer.text.size() > MaxAnswerTextSize) {
        // Cut before the character the limit falls into.
        std::size_t end = text.size();
        while (end > 0 && (static_cast<unsigned char>(answer.text[end]) & 0xC0) == 0x80)
            --end;
        text.resize(end);
    }
    for (char& c : text)
        if (controlByte(static_cast<unsigned char>(c)))
            c = '?';
    if (!validUtf8(text))
        text.clear();
    return static_cast<char>(answer.reply) + std::to_string(text.size()) + '\n' + text;
}

FrameStatus DecodeInstanceAnswer(std::string_view bytes, InstanceAnswer& answer) {
    if (bytes.empty())
        return FrameStatus::Incomplete;
    if (!validReply(bytes[0]) || bytes.size() > MaxAnswerSize)
        return FrameStatus::Invalid;
    answer.reply = static_cast<InstanceReply>(bytes[0]);
    answer.text.clear();
    std::string_view text;
    if (const FrameStatus status = ReadCountedBody(bytes, 1, MaxAnswerTextSize, text); status != FrameStatus::Complete)
        return status;
    for (const char c : text)
        if (controlByte(static_cast<unsigned char>(c)))
            return FrameStatus::Invalid;
    if (!validUtf8(text))
        return FrameStatus::Invalid;
    answer.text = std::string(text);
    return FrameStatus::Complete;
}

SendResult ReadAnswer(std::string_view bytes, std::string* text) {
    InstanceAnswer answer;
    const FrameStatus status = DecodeInstanceAnswer(bytes, answer);
    if (bytes.empty() || !validReply(bytes[0]))
        return SendResult::NoAnswer;
    if (text != nullptr)
        *text = status == FrameStatus::Complete ? answer.text : std::string();
    switch (static_cast<InstanceReply>(bytes[0])) {
    case InstanceReply::Done:
        return SendResult::Done;
    case InstanceReply::Failed:
        return SendResult::Failed;
    case InstanceReply::Refused:
        return SendResult::Refused;
    case InstanceReply::Ignored:
        break;
    }
    return SendResult::Ignored;
}

} // namespace tw::platform
