#include "derived/Formula.h"

#include "common/Exception.h"
#include "derived/CfcFilter.h"
#include "derived/FormulaText.h"
#include "derived/TimeFunctions.h"

#include <QHash>

#include <muParser.h>

#include <cmath>
#include <limits>

namespace {

enum class TTimeFunction { Ddt, Integral, Mean, Rms, Shift, Cfc };

struct TTimeFunctionInfo {
    const char* Name;
    TTimeFunction Function;
    int Arguments;
};

constexpr TTimeFunctionInfo TimeFunctions[] = {
    {"ddt", TTimeFunction::Ddt, 1},    {"integral", TTimeFunction::Integral, 1}, {"mean", TTimeFunction::Mean, 2},
    {"rms", TTimeFunction::Rms, 2},    {"shift", TTimeFunction::Shift, 2},       {"cfc", TTimeFunction::Cfc, 2},
};

const TTimeFunctionInfo* FindTimeFunction(const QString& name)
{
    for (const TTimeFunctionInfo& info : TimeFunctions)
        if (name == QLatin1String(info.Name))
            return &info;
    return nullptr;
}

double IfFunction(double condition, double whenTrue, double whenFalse)
{
    return condition != 0 ? whenTrue : whenFalse;
}

// The expression parser with the functions formulas have beyond its own.
void AddFunctions(mu::Parser& parser)
{
    parser.DefineFun("if", IfFunction);
}

[[noreturn]] void Fail(const QString& what, int column)
{
    throw TFormulaError(QStringLiteral("%1 at column %2.").arg(what).arg(column), column);
}

// The expression parser's complaint about `expression`, which starts at
// column offset + 1 of the formula, in the words of the formula's user.
[[noreturn]] void FailParse(const mu::Parser::exception_type& error, const std::string& expression, int offset)
{
    const int position = error.GetPos();
    // The parser places an early end a character or two past the last one.
    const int column = offset + std::min(position, static_cast<int>(expression.size())) + 1;
    const QString token = QString::fromStdString(error.GetToken());
    switch (error.GetCode()) {
    case mu::ecUNASSIGNABLE_TOKEN: {
        if (!token.isEmpty() && (token[0].isLetter() || token[0] == QLatin1Char('_'))) {
            std::size_t after = static_cast<std::size_t>(position) + error.GetToken().size();
            while (after < expression.size() && expression[after] == ' ')
                ++after;
            if (after < expression.size() && expression[after] == '(')
                Fail(QStringLiteral("unknown function '%1'").arg(token), column);
            Fail(QStringLiteral("unknown series '%1'").arg(token), column);
        }
        Fail(QStringLiteral("unexpected '%1'").arg(token), column);
    }
    case mu::ecUNEXPECTED_EOF:
        Fail(QStringLiteral("the formula ends too early"), column);
    case mu::ecMISSING_PARENS:
        Fail(QStringLiteral("a ')' is missing"), column);
    case mu::ecTOO_MANY_PARAMS:
        Fail(QStringLiteral("too many arguments"), column);
    case mu::ecTOO_FEW_PARAMS:
        Fail(QStringLiteral("too few arguments"), column);
    default:
        if (!token.isEmpty())
            Fail(QStringLiteral("unexpected '%1'").arg(token), column);
        throw TFormulaError(QString::fromStdString(error.GetMsg()), column);
    }
}

} // namespace

// A formula, or the part of one inside a function of time: an expression for
// the parser, in which each function of time is replaced by a variable of the
// same length so that the parser's positions stay those of the text.
struct TFormula::TNode {
    struct TVariable {
        std::string Name;
        int Series = -1; // a series read as it is, or else a function of time:
        TTimeFunction Function = TTimeFunction::Ddt;
        std::unique_ptr<TNode> Argument;
        double Parameter = 0;
        QString ArgumentText;
    };
    std::string Expression;
    std::vector<TVariable> Variables; // in the order first named

    // The series a plain name reads, when the node is nothing more.
    int PlainSeries() const
    {
        if (Variables.size() != 1 || Variables[0].Series < 0)
            return -1;
        const QString text = QString::fromStdString(Expression).trimmed();
        return text == QString::fromStdString(Variables[0].Name) ? Variables[0].Series : -1;
    }
};

namespace {

struct TParseContext {
    QHash<QString, int> Names;
    std::vector<int>* Inputs;
    int Temporaries = 0;
};

// The value of a constant argument (a window, a class), read by the parser.
double ConstantArgument(const QString& text, int offset, const QString& what)
{
    mu::Parser parser;
    const std::string expression = text.toStdString();
    parser.SetExpr(expression);
    try {
        return parser.Eval();
    } catch (const mu::Parser::exception_type&) {
        Fail(QStringLiteral("%1 must be a number").arg(what), offset + 1);
    }
}

std::unique_ptr<TFormula::TNode> ParseNode(const QString& text, int offset, TParseContext& context);

// Reads the function of time whose name runs from `start` to `open` (its
// parenthesis) into a variable of node; returns where the call ends.
int ParseTimeCall(const QString& text, int offset, int start, int open, const TTimeFunctionInfo& info,
                  TFormula::TNode& node, TParseContext& context)
{
    const QString name = QLatin1String(info.Name);
    // The arguments, split at the commas outside parentheses.
    std::vector<std::pair<int, int>> arguments; // start and end in text
    int depth = 0;
    int argumentStart = open + 1;
    int close = -1;
    for (int i = open + 1; i < text.size() && close < 0; ++i) {
        if (text[i] == QLatin1Char('('))
            ++depth;
        else if (text[i] == QLatin1Char(')') && depth > 0)
            --depth;
        else if (text[i] == QLatin1Char(')')) {
            arguments.emplace_back(argumentStart, i);
            close = i;
        } else if (text[i] == QLatin1Char(',') && depth == 0) {
            arguments.emplace_back(argumentStart, i);
            argumentStart = i + 1;
        }
    }
    if (close < 0)
        Fail(QStringLiteral("the ')' of %1( is missing").arg(name), offset + open + 1);
    if (static_cast<int>(arguments.size()) != info.Arguments)
        Fail(info.Arguments == 1 ? QStringLiteral("%1 takes one series").arg(name)
                                 : QStringLiteral("%1 takes a series and a number").arg(name),
             offset + start + 1);

    TFormula::TNode::TVariable variable;
    variable.Function = info.Function;
    const auto [firstStart, firstEnd] = arguments[0];
    variable.ArgumentText = text.mid(firstStart, firstEnd - firstStart).trimmed();
    variable.Argument = ParseNode(text.mid(firstStart, firstEnd - firstStart), offset + firstStart, context);
    if (variable.Argument->Variables.empty())
        Fail(QStringLiteral("%1 needs a series").arg(name), offset + firstStart + 1);
    if (info.Arguments == 2) {
        auto [secondStart, secondEnd] = arguments[1];
        while (secondStart < secondEnd && text[secondStart] == QLatin1Char(' '))
            ++secondStart;
        const QString second = text.mid(secondStart, secondEnd - secondStart);
        const int column = offset + secondStart;
        if (info.Function == TTimeFunction::Cfc) {
            const double cfc = ConstantArgument(second, column, QStringLiteral("the class of cfc"));
            if (cfc != std::floor(cfc) || !IsChannelFrequencyClass(static_cast<int>(cfc)))
                Fail(QStringLiteral("the class of cfc must be 60, 180, 600 or 1000"), column + 1);
            variable.Parameter = cfc;
        } else {
            variable.Parameter =
                ConstantArgument(second, column, QStringLiteral("the seconds of %1").arg(name));
            if (info.Function != TTimeFunction::Shift && !(variable.Parameter > 0))
                Fail(QStringLiteral("the window of %1 must be more than 0 seconds").arg(name), column + 1);
            if (!std::isfinite(variable.Parameter))
                Fail(QStringLiteral("the seconds of %1 must be a number").arg(name), column + 1);
        }
    }
    // A name no series can take, as long as the call it stands for.
    std::string temporary = "_" + std::to_string(context.Temporaries++);
    const std::size_t length = static_cast<std::size_t>(close - start + 1);
    if (temporary.size() < length)
        temporary.append(length - temporary.size(), '_');
    node.Expression.replace(static_cast<std::size_t>(start), length, temporary);
    variable.Name = temporary;
    node.Variables.push_back(std::move(variable));
    return close + 1;
}

std::unique_ptr<TFormula::TNode> ParseNode(const QString& text, int offset, TParseContext& context)
{
    auto node = std::make_unique<TFormula::TNode>();
    for (int i = 0; i < text.size(); ++i)
        if (text[i].unicode() >= 0x80 || (!text[i].isPrint() && text[i] != QLatin1Char(' ')))
            Fail(QStringLiteral("unexpected '%1'").arg(text[i]), offset + i + 1);
    node->Expression = text.toStdString();
    int from = 0;
    while (const auto found = NextFormulaName(text, from)) {
        const QString name = text.mid(found->Start, found->End - found->Start);
        const TTimeFunctionInfo* info = FindTimeFunction(name);
        if (info && found->Open >= 0) {
            from = ParseTimeCall(text, offset, found->Start, found->Open, *info, *node, context);
            continue;
        }
        from = found->End;
        const auto series = context.Names.constFind(name);
        if (series == context.Names.constEnd())
            continue;
        const std::string variable = name.toStdString();
        const bool known = std::any_of(node->Variables.begin(), node->Variables.end(),
                                       [&](const auto& v) { return v.Name == variable; });
        if (!known) {
            TFormula::TNode::TVariable read;
            read.Name = variable;
            read.Series = series.value();
            node->Variables.push_back(std::move(read));
        }
        if (std::find(context.Inputs->begin(), context.Inputs->end(), series.value()) == context.Inputs->end())
            context.Inputs->push_back(series.value());
    }
    // The parser checks the rest: operators, parentheses, its own functions,
    // and names that are neither series nor functions.
    mu::Parser parser;
    AddFunctions(parser);
    double dummy = 1;
    for (const auto& variable : node->Variables)
        parser.DefineVar(variable.Name, &dummy);
    try {
        parser.SetExpr(node->Expression);
        parser.Eval();
    } catch (const mu::Parser::exception_type& error) {
        FailParse(error, node->Expression, offset);
    }
    return node;
}

// The value of points at time t, linear between its neighbours; NaN outside
// the points' span. `cursor` is where the last search ended: times asked for
// in ascending order walk the points once.
double ValueAt(TPointsView series, double t, std::size_t& cursor)
{
    const TChartPoint* p = series.Points;
    const std::size_t n = series.Count;
    if (n == 0 || t < p[0].X || t > p[n - 1].X)
        return std::numeric_limits<double>::quiet_NaN();
    if (cursor >= n || p[cursor].X > t)
        cursor = 0;
    // A run of steps first, then a binary search for a far target.
    for (int steps = 0; steps < 8 && cursor + 1 < n && p[cursor + 1].X <= t; ++steps)
        ++cursor;
    if (cursor + 1 < n && p[cursor + 1].X <= t)
        cursor = static_cast<std::size_t>(
                     std::upper_bound(p + cursor, p + n, t, [](double x, const TChartPoint& q) { return x < q.X; })
                     - p)
                 - 1;
    const TChartPoint& a = p[cursor];
    if (a.X == t || cursor + 1 >= n)
        return a.Y;
    const TChartPoint& b = p[cursor + 1];
    return a.Y + (t - a.X) / (b.X - a.X) * (b.Y - a.Y);
}

// Gives the sink the points whose value is a number, in blocks.
class TPointWriter {
public:
    explicit TPointWriter(const TPointBlockSink& sink) : mSink(sink) {}

    void Add(double x, double y)
    {
        if (std::isfinite(y))
            mBlock.push_back({x, y});
    }
    void Flush()
    {
        if (!mBlock.empty())
            mSink(mBlock.data(), mBlock.size());
        mBlock.clear();
    }

private:
    const TPointBlockSink& mSink;
    std::vector<TChartPoint> mBlock;
};

} // namespace

TFormula::TFormula(const QString& text, const std::vector<TSeriesName>& names) : mText(text), mNames(names)
{
    if (text.trimmed().isEmpty())
        throw TFormulaError(QStringLiteral("The formula is empty."), 1);
    TParseContext context;
    for (const TSeriesName& name : names)
        context.Names.insert(name.Name, name.Series);
    context.Inputs = &mInputs;
    mRoot = ParseNode(text, 0, context);
    if (mRoot->Variables.empty())
        throw TFormulaError(QStringLiteral("The formula names no series: it needs one to take its times from."), 1);
}

TFormula::~TFormula() = default;

namespace {

void EvaluateNode(const TFormula::TNode& node, const std::vector<TPointsView>& series,
                  std::optional<TDateTime> origin, const TPointBlockSink& sink);

std::vector<TChartPoint> Collect(const TFormula::TNode& node, const std::vector<TPointsView>& series,
                                 std::optional<TDateTime> origin)
{
    std::vector<TChartPoint> points;
    EvaluateNode(node, series, origin, [&](const TChartPoint* block, std::size_t count) {
        points.insert(points.end(), block, block + count);
    });
    return points;
}

std::vector<TChartPoint> ApplyTimeFunction(const TFormula::TNode::TVariable& variable, TPointsView argument,
                                           std::optional<TDateTime> origin)
{
    switch (variable.Function) {
    case TTimeFunction::Ddt:
        return Derivative(argument);
    case TTimeFunction::Integral:
        return Integral(argument, origin);
    case TTimeFunction::Mean:
        return MovingMean(argument, variable.Parameter);
    case TTimeFunction::Rms:
        return MovingRms(argument, variable.Parameter);
    case TTimeFunction::Shift:
        return Shifted(argument, variable.Parameter);
    case TTimeFunction::Cfc:
        return CfcFiltered(argument, static_cast<int>(variable.Parameter), variable.ArgumentText);
    }
    return {};
}

void EvaluateNode(const TFormula::TNode& node, const std::vector<TPointsView>& series,
                  std::optional<TDateTime> origin, const TPointBlockSink& sink)
{
    // What each variable reads: a series, or the points a function of time made.
    std::vector<std::vector<TChartPoint>> made(node.Variables.size());
    std::vector<TPointsView> views(node.Variables.size());
    for (std::size_t k = 0; k < node.Variables.size(); ++k) {
        const auto& variable = node.Variables[k];
        if (variable.Series >= 0) {
            views[k] = series.at(static_cast<std::size_t>(variable.Series));
            continue;
        }
        const int plain = variable.Argument->PlainSeries();
        std::vector<TChartPoint> argument;
        if (plain < 0)
            argument = Collect(*variable.Argument, series, origin);
        const TPointsView argumentView = plain >= 0 ? series.at(static_cast<std::size_t>(plain)) : ViewOf(argument);
        made[k] = ApplyTimeFunction(variable, argumentView, origin);
        views[k] = ViewOf(made[k]);
    }

    // The first variable named gives the times.
    const TPointsView base = views[0];
    if (base.Count == 0)
        return;
    constexpr std::size_t BlockSize = 1 << 16;
    std::vector<std::vector<double>> values(views.size(), std::vector<double>(std::min(BlockSize, base.Count)));
    std::vector<double> results(std::min(BlockSize, base.Count));
    std::vector<std::size_t> cursors(views.size(), 0);

    mu::Parser parser;
    AddFunctions(parser);
    for (std::size_t k = 0; k < views.size(); ++k)
        parser.DefineVar(node.Variables[k].Name, values[k].data());
    parser.SetExpr(node.Expression);

    TPointWriter writer(sink);
    for (std::size_t start = 0; start < base.Count; start += BlockSize) {
        const std::size_t count = std::min(BlockSize, base.Count - start);
        const TChartPoint* times = base.Points + start;
        for (std::size_t k = 0; k < views.size(); ++k) {
            double* out = values[k].data();
            if (views[k].Points == base.Points && views[k].Count == base.Count) {
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = times[i].Y;
            } else {
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = ValueAt(views[k], times[i].X, cursors[k]);
            }
        }
        parser.Eval(results.data(), static_cast<int>(count));
        for (std::size_t i = 0; i < count; ++i)
            writer.Add(times[i].X, results[i]);
        writer.Flush();
    }
}

} // namespace

void TFormula::Evaluate(const std::vector<TPointsView>& series, std::optional<TDateTime> origin,
                        const TPointBlockSink& sink) const
{
    EvaluateNode(*mRoot, series, origin, sink);
}
