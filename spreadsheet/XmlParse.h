#pragma once

#include "common/Exception.h"
#include "spreadsheet/XmlPart.h"

#include <QByteArray>

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

// A name without its namespace prefix.
std::string_view XmlLocalName(const char* name);

// Where a parse of a piece of a part starts: inside the element Element (its
// name as the part spells it, prefix and all), which lies Depth elements deep
// in the part, after Lines lines of the part.
struct TXmlContext {
    QByteArray Element;
    int Depth = 0;
    std::uint64_t Lines = 0;
};

// What parsing a piece of a part came to.
enum class TXmlProgress {
    // The parse wants the next piece.
    Going,
    // The handler has all it needs.
    Stopped,
    // The handler split the part (SplitHere) and the part is UTF-8: its
    // parse ends here, SplitAt says where the rest goes on.
    Split,
    // The handler cannot read this piece on its own (CannotStandAlone).
    Alone,
    // The piece is no well-formed XML (Failure says how).
    Broken,
};

// Where a handler split its part: the element whose children go on in
// blocks, cut after the end tags of the children named Child, from byte
// Offset of the part on.
struct TXmlSplit {
    TXmlContext Context;
    QByteArray Child;
    std::uint64_t Offset = 0;
};

// Expat's memory, the handler's element, text and stop requests: one parse
// of one part, or of one piece of a part inside a context.
class TXmlParse {
public:
    TXmlParse(const QByteArray& part, TXmlHandler& handler, const TXmlContext* context = nullptr);
    ~TXmlParse();
    // Lets the handler split the part (a parse inside a context never
    // splits).
    void AllowSplit() { mSplitAllowed = true; }
    TXmlParse(const TXmlParse&) = delete;
    TXmlParse& operator=(const TXmlParse&) = delete;

    // Parses the next piece (the last one with final set). A handler's error
    // is rethrown.
    TXmlProgress Parse(const char* data, std::size_t size, bool final);
    // As Parse, but throws Failure for a piece that is no well-formed XML:
    // false once the parse is over for any other reason.
    bool Feed(const char* data, std::size_t size, bool final);
    // Ends a piece parsed inside a context with the end of its element: Going
    // (or Stopped) only where the piece ends between the element's children.
    TXmlProgress Close();

    // Why the parse is Broken, naming the part and the line.
    Exception Failure() const;
    const TXmlSplit& SplitAt() const { return mSplit; }
    // The line breaks parsed so far.
    std::uint64_t LineBreaks() const { return XML_GetCurrentLineNumber(mParser) - 1; }

    // For TXmlHandler.
    void CollectText(bool on) { XML_SetCharacterDataHandler(mParser, on ? Text : nullptr); }
    void Finish();
    void SplitHere(std::string_view child);
    void CannotStandAlone();

private:
    Exception Failure(const QString& what) const;
    void Fail(std::exception_ptr error);
    static void Start(void* data, const XML_Char* name, const XML_Char** attributes);
    static void End(void* data, const XML_Char* name);
    static void Text(void* data, const XML_Char* text, int length);
    static void Declaration(void* data, const XML_Char* version, const XML_Char* encoding, int standalone);
    static void Doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int);

    QByteArray mPart;
    TXmlHandler& mHandler;
    XML_Parser mParser = nullptr;
    std::size_t mMemory = 0;
    std::size_t* mPreviousMemory = nullptr;
    QByteArray mContextElement;
    int mContextDepth = 0;
    std::uint64_t mContextLines = 0;
    int mDepth = 0;
    // Whether the part is known to be UTF-8, which a split needs: its first
    // bytes and its declaration say so.
    bool mStarted = false;
    bool mUtf8 = false;
    const XML_Char* mElement = nullptr;
    TXmlSplit mSplit;
    bool mSplitAllowed = false;
    bool mSplitting = false;
    bool mAlone = false;
    bool mFinished = false;
    std::exception_ptr mError;
};
