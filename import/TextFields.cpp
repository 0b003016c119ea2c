#include "import/TextFields.h"

void SplitTextFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields,
                     std::size_t maxFields)
{
    fields.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    const auto skipBlanks = [&p, end] {
        while (p != end && IsTextBlank(*p))
            ++p;
    };

    skipBlanks();
    while (p != end && fields.size() < maxFields) {
        const char* const start = p;
        while (p != end && !IsTextBlank(*p) && *p != delimiter)
            ++p;
        fields.emplace_back(start, static_cast<std::size_t>(p - start));
        skipBlanks();
        if (p != end && *p == delimiter) {
            if (p + 1 == end && fields.size() < maxFields)
                fields.emplace_back(end, 0);
            ++p;
            skipBlanks();
        }
    }
}
