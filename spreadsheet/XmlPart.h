#pragma once

#include "spreadsheet/SheetCells.h"

#include <QByteArray>

#include <charconv>
#include <cstddef>
#include <string_view>

class TZipPackage;
class TXmlParse;

// What a reader does with the elements of an XML part. Names come without
// their namespace prefix; attributes are pairs of such a name and its value,
// ending with a null name. Handlers may throw: the parse stops and the error
// goes on.
class TXmlHandler {
public:
    virtual ~TXmlHandler() = default;
    virtual void StartElement(std::string_view name, const char** attributes) = 0;
    virtual void EndElement(std::string_view name) = 0;
    // Text inside elements, in pieces, while collecting is on.
    virtual void Characters(std::string_view) {}

protected:
    // Turns the delivery of text on or off (off at the start): text the
    // reader does not need costs nothing.
    void CollectText(bool on);
    // Ends the parse as a success once the reader has all it needs.
    void StopParsing();
    // Offers the children of the element just started, named child, to be
    // read in blocks by handlers of their own on several threads (see
    // ParseXmlPartInBlocks; elsewhere nothing happens). Where the part is
    // split, this handler hears no more of it unless a block cannot be read
    // on its own: then it reads the rest of the part from that block on.
    void SplitHere(std::string_view child);
    // Tells the parse of a block that the block cannot be read without what
    // came before it: the block is read again by the part's own handler.
    void CannotStandAlone();

private:
    friend class TXmlParse;
    TXmlParse* mParse = nullptr;
};

// The value of an attribute by its name without prefix; null when absent.
const char* XmlAttribute(const char** attributes, std::string_view name);

// An attribute's value as a whole decimal integer; false for anything else.
inline bool XmlInteger(std::string_view text, long long& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Streams a part of the package through an XML parser into handler. A part
// that is no well-formed XML, declares a document type (entity declarations
// are refused outright), nests too deep or needs too much memory ends with an
// Exception naming the part. onProgress (when given) hears the bytes of the
// part inflated so far after every chunk, of the size the archive gives.
void ParseXmlPart(const TZipPackage& package, const QByteArray& part, TXmlHandler& handler,
                  const TReadProgress& onProgress = {});
