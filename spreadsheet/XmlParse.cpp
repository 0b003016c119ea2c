#include "spreadsheet/XmlParse.h"

#include <cstdlib>
#include <cstring>

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

bool IsUtf8Name(const char* encoding)
{
    const char* const utf8 = "utf-8";
    for (std::size_t i = 0; i <= 5; ++i) {
        const char c = encoding[i] >= 'A' && encoding[i] <= 'Z' ? char(encoding[i] - 'A' + 'a') : encoding[i];
        if (c != utf8[i])
            return false;
    }
    return true;
}

} // namespace

// Called for every element of a part: one pass over the name, short as
// names are.
std::string_view XmlLocalName(const char* name)
{
    const char* start = name;
    const char* end = name;
    for (; *end != '\0'; ++end) {
        if (*end == ':')
            start = end + 1;
    }
    return std::string_view(start, static_cast<std::size_t>(end - start));
}

TXmlParse::TXmlParse(const QByteArray& part, TXmlHandler& handler, const TXmlContext* context)
    : mPart(part), mHandler(handler)
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
    XML_SetXmlDeclHandler(mParser, Declaration);
    XML_SetStartDoctypeDeclHandler(mParser, Doctype);
    mHandler.mParse = this;
    if (context) {
        // The piece's element opens the document, as deep as it lies in the
        // part; its start tag reaches the handler like any other.
        mContextElement = context->Element;
        mContextDepth = context->Depth;
        mContextLines = context->Lines;
        mDepth = context->Depth - 1;
        mStarted = true;
        const QByteArray start = '<' + mContextElement + '>';
        try {
            if (Parse(start.constData(), static_cast<std::size_t>(start.size()), false) == TXmlProgress::Broken)
                throw Failure();
        } catch (...) {
            mHandler.mParse = nullptr;
            XML_ParserFree(mParser);
            tParserMemory = mPreviousMemory;
            throw;
        }
    }
}

TXmlParse::~TXmlParse()
{
    mHandler.mParse = nullptr;
    XML_ParserFree(mParser);
    tParserMemory = mPreviousMemory;
}

TXmlProgress TXmlParse::Parse(const char* data, std::size_t size, bool final)
{
    if (!mStarted && size > 0) {
        mStarted = true;
        const auto* bytes = reinterpret_cast<const unsigned char*>(data);
        mUtf8 = bytes[0] == '<' || (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF);
    }
    XML_Status status = XML_Parse(mParser, data, static_cast<int>(size), final);
    for (;;) {
        if (mError)
            std::rethrow_exception(mError);
        if (mAlone)
            return TXmlProgress::Alone;
        if (mFinished)
            return TXmlProgress::Stopped;
        if (status == XML_STATUS_OK)
            return TXmlProgress::Going;
        if (status != XML_STATUS_SUSPENDED)
            return TXmlProgress::Broken;
        if (mSplitting)
            return TXmlProgress::Split;
        // The element the handler split at ended in its own tag: no children
        // to split, the parse goes on.
        status = XML_ResumeParser(mParser);
    }
}

bool TXmlParse::Feed(const char* data, std::size_t size, bool final)
{
    const TXmlProgress progress = Parse(data, size, final);
    if (progress == TXmlProgress::Broken)
        throw Failure();
    return progress == TXmlProgress::Going;
}

TXmlProgress TXmlParse::Close()
{
    const QByteArray end = "</" + mContextElement + '>';
    const TXmlProgress progress = Parse(end.constData(), static_cast<std::size_t>(end.size()), true);
    // A handler that stops at the end of an element of the same name deeper
    // down must not pass for the piece's end.
    if ((progress == TXmlProgress::Going || progress == TXmlProgress::Stopped) && mDepth != mContextDepth - 1)
        return TXmlProgress::Broken;
    return progress;
}

Exception TXmlParse::Failure() const
{
    const XML_Error code = XML_GetErrorCode(mParser);
    if (code == XML_ERROR_NO_MEMORY)
        return Failure(QStringLiteral("needs more memory than a workbook part may"));
    return Failure(QStringLiteral("is damaged: %1 at line %2")
                       .arg(QString::fromUtf8(XML_ErrorString(code)))
                       .arg(mContextLines + XML_GetCurrentLineNumber(mParser)));
}

Exception TXmlParse::Failure(const QString& what) const
{
    return Exception(QStringLiteral("The part \"%1\" %2.").arg(QString::fromUtf8(mPart), what));
}

void TXmlParse::Finish()
{
    mFinished = true;
    XML_StopParser(mParser, XML_FALSE);
}

void TXmlParse::SplitHere(std::string_view child)
{
    if (!mSplitAllowed || !mUtf8 || !mElement)
        return;
    mSplit.Context.Element = QByteArray(mElement);
    mSplit.Context.Depth = mDepth;
    mSplit.Child = QByteArray(child.data(), static_cast<qsizetype>(child.size()));
    mSplit.Offset = static_cast<std::uint64_t>(XML_GetCurrentByteIndex(mParser) + XML_GetCurrentByteCount(mParser));
    mSplitting = true;
    XML_StopParser(mParser, XML_TRUE);
}

void TXmlParse::CannotStandAlone()
{
    mAlone = true;
    XML_StopParser(mParser, XML_FALSE);
}

// Stops the parse with an error; expat returns before the next token.
void TXmlParse::Fail(std::exception_ptr error)
{
    if (!mError)
        mError = std::move(error);
    XML_StopParser(mParser, XML_FALSE);
}

void TXmlParse::Start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* self = static_cast<TXmlParse*>(data);
    if (self->mError || self->mFinished || self->mAlone)
        return;
    if (++self->mDepth > MaxDepth) {
        self->Fail(std::make_exception_ptr(self->Failure(QStringLiteral("nests elements too deep"))));
        return;
    }
    self->mElement = name;
    try {
        self->mHandler.StartElement(XmlLocalName(name), attributes);
    } catch (...) {
        self->Fail(std::current_exception());
    }
    self->mElement = nullptr;
}

void TXmlParse::End(void* data, const XML_Char* name)
{
    auto* self = static_cast<TXmlParse*>(data);
    if (self->mError || self->mFinished || self->mAlone)
        return;
    --self->mDepth;
    // An element split at that ends in its own tag.
    self->mSplitting = false;
    try {
        self->mHandler.EndElement(XmlLocalName(name));
    } catch (...) {
        self->Fail(std::current_exception());
    }
}

void TXmlParse::Text(void* data, const XML_Char* text, int length)
{
    auto* self = static_cast<TXmlParse*>(data);
    if (self->mError || self->mFinished || self->mAlone)
        return;
    try {
        self->mHandler.Characters(std::string_view(text, static_cast<std::size_t>(length)));
    } catch (...) {
        self->Fail(std::current_exception());
    }
}

void TXmlParse::Declaration(void* data, const XML_Char*, const XML_Char* encoding, int)
{
    auto* self = static_cast<TXmlParse*>(data);
    if (encoding && !IsUtf8Name(encoding))
        self->mUtf8 = false;
}

void TXmlParse::Doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    auto* self = static_cast<TXmlParse*>(data);
    self->Fail(std::make_exception_ptr(
        self->Failure(QStringLiteral("declares a document type, which a workbook part may not"))));
}
