#include "logger/ForeignFrames.h"

void AppendNodes(QByteArray& out, const std::vector<TForeignNode>& nodes)
{
    const qsizetype at = StartFrame(out, quint8(TForeignFrame::Nodes));
    AppendLength(out, static_cast<quint32>(nodes.size()));
    for (const TForeignNode& node : nodes) {
        AppendLength(out, static_cast<quint32>(node.Node.Parent));
        out.append(node.Node.Channel ? '\1' : '\0');
        AppendText(out, node.Node.Name);
        AppendText(out, node.Node.Unit);
        AppendText(out, node.Node.Comment);
        AppendNumber(out, double(node.Node.SampleCount));
        AppendText(out, node.Node.Unloadable);
        AppendText(out, node.Key);
    }
    FinishFrame(out, at);
}

void AppendEnds(QByteArray& out, qint64 count, double first, double last)
{
    const qsizetype at = StartFrame(out, quint8(TForeignFrame::Ends));
    AppendNumber(out, double(count));
    AppendNumber(out, first);
    AppendNumber(out, last);
    FinishFrame(out, at);
}

qsizetype StartSamples(QByteArray& out, quint32 key)
{
    const qsizetype at = StartFrame(out, quint8(TForeignFrame::Samples));
    AppendLength(out, key);
    return at;
}

std::vector<TForeignNode> ReadNodes(TPayloadReader& payload)
{
    const quint32 count = payload.Length();
    std::vector<TForeignNode> nodes;
    for (quint32 i = 0; i < count; ++i) {
        TForeignNode node;
        node.Node.Parent = static_cast<qint32>(payload.Length());
        if (node.Node.Parent < -1 || node.Node.Parent >= qint64(i)
            || (node.Node.Parent >= 0 && nodes[std::size_t(node.Node.Parent)].Node.Channel))
            throw TDamagedPayload();
        node.Node.Channel = payload.Byte() != 0;
        node.Node.Name = payload.Text();
        node.Node.Unit = payload.Text();
        node.Node.Comment = payload.Text();
        const double samples = payload.Number();
        if (!(samples >= 0 && samples < 9e15))
            throw TDamagedPayload();
        node.Node.SampleCount = static_cast<qint64>(samples);
        node.Node.Unloadable = payload.Text();
        node.Key = payload.Text();
        nodes.push_back(std::move(node));
    }
    payload.Finished();
    return nodes;
}
