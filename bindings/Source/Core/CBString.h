#pragma once

// The key type of every store: UTF-8 text compared byte-wise.

#include <string>

class CBString {
public:
    CBString() = default;
    CBString(char const* theText); // null gives the empty string
    CBString(CBString const& other) = default;
    virtual ~CBString() = default;

    CBString& operator=(CBString const& other) = default;

    bool operator==(CBString const& other) const { return mText == other.mText; }
    bool operator!=(CBString const& other) const { return mText != other.mText; }
    bool operator<(CBString const& other) const { return mText < other.mText; }
    CBString operator+(CBString const& other) const;

    bool IsNotEmpty() const { return !mText.empty(); }
    char const* GetUTF8() const { return mText.c_str(); }

private:
    std::string mText;
};

// Stands for every key of a store; valid for observing only, never as a stored key.
inline CBString const kKeyAnyValue { "*" };
