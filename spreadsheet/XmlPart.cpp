#include "spreadsheet/XmlPart.h"

#include "common/Exception.h"
#include "spreadsheet/ZipPackage.h"

#include <expat.h>

#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// Expat's own memory, in total, while one part is parsed: plenty for the
// longest token of a real workbook, and a bound for hostile ones.
constexpr std::size_t ParserMemoryLimit = 64U << 20;
constexpr int MaxDepth = 256;

// Expat's memory functions take no context: the budget of the parse under
// way on this thread.
thread_local std::size_t* tParserMemory = nullptr;

// Every block starts with its size, so that realloc and free can keep count.
constexpr std::size_t BlockHeader = alignof(std::max_align_t);

void* CountedMalloc(std::size_t size)
{
    if (size > ParserMemoryLimit - *tParserMemory)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + BlockHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    *tParserMemory += size;
    return block + BlockHeader;
}

void CountedFree(void* pointer)
{
    if (!pointer)
        return;
    auto* block = static_cast<unsigned char*>(pointer) - BlockHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    *tParserMemory -= size;
    std::free(block);
}

void* CountedRealloc(void* pointer, std::size_t size)
{
    if (!pointer)
        return CountedMalloc(size);
    auto* block = static_cast<unsigned char*>(pointer) - BlockHeader;
    std::size_t old = 0;
    std::memcpy(&old, block, sizeof old);
    if (size > old && size - old > ParserMemoryLimit - *tParserMemory)
        return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + BlockHeader));
    if (!grown)
        return nullptr;
    std::memcpy(grown, &size, sizeof size);
    *tParserMemory = *tParserMemory - old + size;
    return grown + BlockHeader;
}

const XML_Memory_Handling_Suite CountedMemory = {CountedMalloc, CountedRealloc, CountedFree};

// Called for every element of a part: one pass over the name, short as
// names are.
std::string_view LocalName(const char* name)
{
    const char* start = name;
    const char* end = name;
    for (; *end != '\0'; ++end) {
        if (*end == ':')
            start = end + 1;
    }
    return std::string_view(start, static_cast<std::size_t>(end - start));
}

} // namespace

// One parse of one part: the expat parser and what stopped it.
class TXmlParse {
public:
    TXmlParse(const QByteArray& part, TXmlHandler& handler) : mPart(part), mHandler(handler)
    {
        mPreviousMemory = tParserMemory;
        tParserMemory = &mMemory;
        mParser = XML_ParserCreate_MM(nullptr, &CountedMemory, nullptr);
        if (!mParser) {
            tParserMemory = mPreviousMemory;
            throw std::bad_alloc();
        }
        XML_SetUserData(mParser, this);
        XML_SetElementHandler(mParser, Start, End);
        XML_SetStartDoctypeDeclHandler(mParser, Doctype);
        mHandler.mParse = this;
    }

    ~TXmlParse()
    {
        mHandler.mParse = nullptr;
        XML_ParserFree(mParser);
        tParserMemory = mPreviousMemory;
    }

    TXmlParse(const TXmlParse&) = delete;
    TXmlParse& operator=(const TXmlParse&) = delete;

    // Parses the next piece (the last one with final set); false once the
    // handler has all it needs.
    bool Feed(const char* data, std::size_t size, bool final)
    {
        if (XML_Parse(mParser, data, static_cast<int>(size), final) == XML_STATUS_OK)
            return true;
        if (mError)
            std::rethrow_exception(mError);
        if (mFinished)
            return false;
        const XML_Error code = XML_GetErrorCode(mParser);
        if (code == XML_ERROR_NO_MEMORY)
            throw Failure(QStringLiteral("needs more memory than a workbook part may"));
        throw Failure(QStringLiteral("is damaged: %1 at line %2")
                          .arg(QString::fromUtf8(XML_ErrorString(code)))
                          .arg(XML_GetCurrentLineNumber(mParser)));
    }

    void CollectText(bool on) { XML_SetCharacterDataHandler(mParser, on ? Text : nullptr); }

    void Finish()
    {
        mFinished = true;
        XML_StopParser(mParser, XML_FALSE);
    }

private:
    Exception Failure(const QString& what) const
    {
        return Exception(QStringLiteral("The part \"%1\" %2.").arg(QString::fromUtf8(mPart), what));
    }

    // Stops the parse with an error; expat returns before the next token.
    void Fail(std::exception_ptr error)
    {
        if (!mError)
            mError = std::move(error);
        XML_StopParser(mParser, XML_FALSE);
    }

    static void Start(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        auto* self = static_cast<TXmlParse*>(data);
        if (self->mError || self->mFinished)
            return;
        if (++self->mDepth > MaxDepth) {
            self->Fail(std::make_exception_ptr(self->Failure(QStringLiteral("nests elements too deep"))));
            return;
        }
        try {
            self->mHandler.StartElement(LocalName(name), attributes);
        } catch (...) {
            self->Fail(std::current_exception());
        }
    }

    static void End(void* data, const XML_Char* name)
    {
        auto* self = static_cast<TXmlParse*>(data);
        if (self->mError || self->mFinished)
            return;
        --self->mDepth;
        try {
            self->mHandler.EndElement(LocalName(name));
        } catch (...) {
            self->Fail(std::current_exception());
        }
    }

    static void Text(void* data, const XML_Char* text, int length)
    {
        auto* self = static_cast<TXmlParse*>(data);
        if (self->mError || self->mFinished)
            return;
        try {
            self->mHandler.Characters(std::string_view(text, static_cast<std::size_t>(length)));
        } catch (...) {
            self->Fail(std::current_exception());
        }
    }

    static void Doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        auto* self = static_cast<TXmlParse*>(data);
        self->Fail(std::make_exception_ptr(
            self->Failure(QStringLiteral("declares a document type, which a workbook part may not"))));
    }

    QByteArray mPart;
    TXmlHandler& mHandler;
    XML_Parser mParser = nullptr;
    std::size_t mMemory = 0;
    std::size_t* mPreviousMemory = nullptr;
    int mDepth = 0;
    bool mFinished = false;
    std::exception_ptr mError;
};

void TXmlHandler::CollectText(bool on)
{
    mParse->CollectText(on);
}

void TXmlHandler::StopParsing()
{
    mParse->Finish();
}

const char* XmlAttribute(const char** attributes, std::string_view name)
{
    for (const char** attribute = attributes; *attribute; attribute += 2) {
        if (LocalName(attribute[0]) == name)
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
