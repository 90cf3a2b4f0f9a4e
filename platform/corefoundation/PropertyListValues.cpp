#include "corefoundation/PropertyListValues.h"

#include <cmath>
#include <cstdio>

namespace tw::cf {

namespace {

    constexpr SInt64 kSecondsPerDay = 86400;
    constexpr SInt64 kDaysFrom1970To2001 = 11323;

    // Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
    SInt64 DaysFromCivil(SInt64 year, unsigned month, unsigned day)
    {
        year -= month <= 2;
        SInt64 const era = (year >= 0 ? year : year - 399) / 400;
        SInt64 const yearOfEra = year - era * 400;
        SInt64 const dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
        SInt64 const dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468;
    }

    void CivilFromDays(SInt64 days, SInt64& year, unsigned& month, unsigned& day)
    {
        days += 719468;
        SInt64 const era = (days >= 0 ? days : days - 146096) / 146097;
        SInt64 const dayOfEra = days - era * 146097;
        SInt64 const yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        SInt64 const dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        SInt64 const shiftedMonth = (5 * dayOfYear + 2) / 153;
        day = unsigned(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
        month = unsigned(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
        year = yearOfEra + era * 400 + (month <= 2);
    }

    unsigned DaysInMonth(SInt64 year, unsigned month)
    {
        static constexpr unsigned kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
        bool const leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return month == 2 && leap ? 29 : kDays[month - 1];
    }

    // Reads text[at, at + width) as decimal digits, or -1.
    int Digits(std::string_view text, std::size_t at, std::size_t width)
    {
        int value = 0;
        for (std::size_t i = at; i < at + width; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    }

} // namespace

std::optional<double> ParseISODate(std::string_view text)
{
    constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != kPattern.size())
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kPattern[i] != 'd' && text[i] != kPattern[i])
            return std::nullopt;
    }
    int const year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    int const hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || unsigned(day) > DaysInMonth(year, unsigned(month)))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    SInt64 const days = DaysFromCivil(year, unsigned(month), unsigned(day)) - kDaysFrom1970To2001;
    return double(days * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

std::optional<std::string> FormatISODate(double time)
{
    double const first = double((DaysFromCivil(1, 1, 1) - kDaysFrom1970To2001) * kSecondsPerDay);
    double const end = double((DaysFromCivil(10000, 1, 1) - kDaysFrom1970To2001) * kSecondsPerDay);
    if (!std::isfinite(time) || time < first || time >= end)
        return std::nullopt;
    auto const seconds = SInt64(std::floor(time));
    SInt64 days = seconds / kSecondsPerDay;
    SInt64 rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    SInt64 year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days + kDaysFrom1970To2001, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<long long>(year), month, day,
        static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return std::string(text);
}

CFTypeRef AdoptIntoArray(std::vector<void const*>& values, bool isMutable)
{
    ReleaseList const release(values);
    if (!isMutable)
        return CFArrayCreate(nullptr, values.data(), CFIndex(values.size()), &kCFTypeArrayCallBacks);
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, CFIndex(values.size()), &kCFTypeArrayCallBacks);
    for (void const* value : values)
        CFArrayAppendValue(array, value);
    return array;
}

CFTypeRef AdoptIntoDictionary(std::vector<void const*>& keys, std::vector<void const*>& values, bool isMutable)
{
    ReleaseList const releaseKeys(keys);
    ReleaseList const releaseValues(values);
    if (!isMutable) {
        return CFDictionaryCreate(nullptr, keys.data(), values.data(), CFIndex(keys.size()),
            &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    }
    CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
        nullptr, CFIndex(keys.size()), &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    for (std::size_t i = 0; i < keys.size(); ++i)
        CFDictionarySetValue(dictionary, keys[i], values[i]);
    return dictionary;
}

ReleaseList::~ReleaseList()
{
    for (void const* value : mValues)
        CFRelease(static_cast<CFTypeRef>(value));
    mValues.clear();
}

} // namespace tw::cf
