#pragma once

#include "spreadsheet/SheetCells.h"
#include "spreadsheet/XmlPart.h"

#include <QByteArray>

#include <functional>
#include <memory>

class TZipPackage;

// What one block of a split element's children came to: its handler reads
// the block on a worker thread, and what it found waits there for its turn.
// One is used for block after block.
class TXmlBlock {
public:
    virtual ~TXmlBlock() = default;
    // Forgets the block before (keeping the memory it took) and gives a
    // handler as new for the next.
    virtual TXmlHandler& Restart() = 0;
    // Hands on what the handler found, on the reading thread, block after
    // block in the order of the part.
    virtual void Deliver() = 0;
};

using TXmlBlockMaker = std::function<std::unique_ptr<TXmlBlock>()>;

// Reads a part as ParseXmlPart does, and faster where most of it is the
// children of one element (the rows of a sheet): once handler offers them
// (SplitHere), they go in blocks of whole children to handlers made by
// newBlock, one parser for each, on as many threads as the machine has
// processors, while the part goes on inflating. The blocks are handed on in
// order, a few at a time, so memory stays bounded. What the part's handler
// would find and every error come out as in one parse: where a block turns
// out not to begin and end between children, or cannot stand alone, the
// part's own handler reads the rest of the part from it on.
void ParseXmlPartInBlocks(const TZipPackage& package, const QByteArray& part, TXmlHandler& handler,
                          const TXmlBlockMaker& newBlock, const TReadProgress& onProgress = {});
