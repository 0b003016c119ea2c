#include "spreadsheet/XmlPart.h"

#include "spreadsheet/XmlParse.h"
#include "spreadsheet/ZipPackage.h"

void TXmlHandler::CollectText(bool on)
{
    mParse->CollectText(on);
}

void TXmlHandler::StopParsing()
{
    mParse->Finish();
}

void TXmlHandler::SplitHere(std::string_view child)
{
    mParse->SplitHere(child);
}

void TXmlHandler::CannotStandAlone()
{
    mParse->CannotStandAlone();
}

const char* XmlAttribute(const char** attributes, std::string_view name)
{
    for (const char** attribute = attributes; *attribute; attribute += 2) {
        if (XmlLocalName(attribute[0]) == name)
            return attribute[1];
    }
    return nullptr;
}

void ParseXmlPart(const TZipPackage& package, const QByteArray& part, TXmlHandler& handler,
                  const TReadProgress& onProgress)
{
    TXmlParse parse(part, handler);
    bool going = true;
    const std::uint64_t total = onProgress ? package.PartSize(part) : 0;
    std::uint64_t done = 0;
    package.ReadPart(part, [&](const char* data, std::size_t size) {
        going = parse.Feed(data, size, false);
        done += size;
        if (onProgress)
            onProgress(done, total);
        return going;
    });
    if (going)
        parse.Feed(nullptr, 0, true);
}
