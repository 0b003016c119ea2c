// The main window's controls and their places.
#include "app/DataStrip.h"
#include "app/MainForm.h"
#include "common/glyphs/Glyphs.h"
#include "chart/Chart.h"
#include "chartdata/SeriesTitle.h"
#include "common/AccessibleNames.h"
#include "common/Fonts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* FlatButton(QWidget* parent, const QRect& geometry, const QString& caption, const QString& hint,
                        const QIcon& icon, int glyphSize)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setGeometry(geometry);
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setIconSize(QSize(glyphSize, glyphSize));
    // Reached with the Tab key; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    // A screen reader says the caption, or the tool tip of a picture-only button.
    if (caption.isEmpty())
        NameByToolTip(button);
    return button;
}

// A 1-pixel silver line along an edge of a panel.
QFrame* SilverLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setStyleSheet(QStringLiteral("background-color: silver;"));
    return line;
}

} // namespace

void TfrmMain::CreateControls()
{
    setFont(ArialFont(11));
    setWindowIcon(GlyphIcon(Glyphs::AppIcon));
    setMinimumSize(300, 360);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    CreateTopPanel();
    layout->addWidget(pnlTop);

    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    pnlClient->setAutoFillBackground(true);
    QPalette videoPalette = pnlClient->palette();
    videoPalette.setColor(QPalette::Window, Qt::black);
    pnlClient->setPalette(videoPalette);
    layout->addWidget(pnlClient, 1);

    pnlBottom = new QWidget(this);
    pnlBottom->setFixedHeight(240);
    auto* bottomLayout = new QVBoxLayout(pnlBottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    CreateToolStrip();
    bottomLayout->addWidget(pnlTools);
    lblMeasure = new QLabel(pnlBottom);
    lblMeasure->setAccessibleName(QStringLiteral("Measurement"));
    lblMeasure->setTextFormat(Qt::RichText);
    lblMeasure->setWordWrap(true);
    lblMeasure->setContentsMargins(4, 1, 4, 1);
    lblMeasure->setVisible(false);
    bottomLayout->addWidget(lblMeasure);

    auto* chartRow = new QHBoxLayout;
    chartRow->setSpacing(0);
    ChartAll = new TChart(pnlBottom);
    ChartAll->setEnabled(false);
    ChartAll->SetTitleText(TitleToDisplay);
    chartRow->addWidget(ChartAll, 1);
    lvwLegend = new QListWidget(pnlBottom);
    lvwLegend->setFixedWidth(118);
    lvwLegend->setAccessibleName(QStringLiteral("Legend"));
    lvwLegend->setVisible(false);
    chartRow->addWidget(lvwLegend);
    bottomLayout->addLayout(chartRow, 1);
    layout->addWidget(pnlBottom);

    miNewFormula = new QAction(QStringLiteral("New Series from Formula..."), this);
    pmnChart = new QMenu(this);
    miLanes = pmnChart->addAction(QStringLiteral("One Lane per Series"));
    pmnChart->addAction(miNewFormula);
    pmnChart->addSeparator();
    miClearChartData = pmnChart->addAction(QStringLiteral("Clear Chart Data"));
    ChartAll->SetPopupMenu(pmnChart);
    pmnLegend = new QMenu(this);
    miEdit = pmnLegend->addAction(QStringLiteral("Edit"));
    miEdit->setShortcut(QKeySequence(Qt::Key_F2));
    pmnLegend->addAction(miNewFormula);
    miEditFormula = pmnLegend->addAction(QStringLiteral("Edit Formula..."));
    pmnLegend->addSeparator();
    miDelete = pmnLegend->addAction(QStringLiteral("Delete"));

    // Outer size 872 x 798 on the original desktop: a client area of 856 wide.
    resize(856, 760);
}

void TfrmMain::CreateTopPanel()
{
    pnlTop = new QFrame(this);
    pnlTop->setFixedHeight(37);
    pnlTop->setFont(ArialFont(13, true));
    sbnOpenVideo = FlatButton(pnlTop, QRect(1, 0, 120, 36), QStringLiteral("Open Video"),
                              QStringLiteral("Open a video file (Ctrl+O)"), GlyphIcon(Glyphs::OpenVideo), 32);
    sbnAddVideo = FlatButton(pnlTop, QRect(121, 0, 116, 36), QStringLiteral("Add Video"),
                             QStringLiteral("Add another video of the same run (Ctrl+Shift+O)"),
                             GlyphIcon(Glyphs::OpenVideo), 32);
    sbnAddVideo->setEnabled(false);
    sbnOpenData = FlatButton(pnlTop, QRect(237, 0, 116, 36), QStringLiteral("Load Data"),
                             QStringLiteral("Load a chart data (Ctrl+L)"), GlyphIcon(Glyphs::LoadData, Glyphs::LoadDataDisabled), 32);
    sbnOpenData->setEnabled(false);
    sbnSaveData = FlatButton(pnlTop, QRect(353, 0, 54, 36), QString(), QStringLiteral("Save the chart data (Ctrl+S)"),
                             GlyphIcon(Glyphs::Save, Glyphs::SaveDisabled), 32);
    sbnSaveData->setEnabled(false);
    sbnExport = FlatButton(pnlTop, QRect(407, 0, 54, 36), QString(), QStringLiteral("Export the view (Ctrl+E)"),
                           GlyphIcon(Glyphs::Export, Glyphs::ExportDisabled), 32);
    sbnExport->setEnabled(false);
    sbnAbout = FlatButton(pnlTop, QRect(461, 0, 54, 36), QString(), QStringLiteral("About"),
                          GlyphIcon(Glyphs::About), 24);

    auto* panelLayout = new QVBoxLayout(pnlTop);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addStretch(1);
    panelLayout->addWidget(SilverLine(pnlTop));
}

void TfrmMain::CreateToolStrip()
{
    pnlTools = new QWidget(pnlBottom);
    pnlTools->setFixedHeight(40);
    pnlTools->setFont(ArialFont(13));

    imgPlay = GlyphIcon(Glyphs::Play).pixmap(32, 32);
    imgPause = GlyphIcon(Glyphs::Pause).pixmap(32, 32);
    sbnPlayPause = FlatButton(pnlTools, QRect(1, 1, 56, 38), QString(), QStringLiteral("Play/Pause (Space)"), imgPlay, 32);
    ShowPlayState(false);
    sbnZoomIn = FlatButton(pnlTools, QRect(57, 1, 56, 38), QString(), QStringLiteral("Zoom In (+)"),
                           GlyphIcon(Glyphs::ZoomIn), 24);
    sbnZoomOut = FlatButton(pnlTools, QRect(113, 1, 56, 38), QString(), QStringLiteral("Zoom Out (-)"),
                            GlyphIcon(Glyphs::ZoomOut), 24);
    sbnZoomOriginal = FlatButton(pnlTools, QRect(169, 1, 56, 38), QString(), QStringLiteral("Zoom to Default (0)"),
                                 GlyphIcon(Glyphs::ZoomDefault), 24);

    auto* separator = new QFrame(pnlTools);
    separator->setGeometry(226, 3, 1, 34);
    separator->setStyleSheet(QStringLiteral("background-color: silver;"));

    lblCurrentData = new QLabel(QStringLiteral("Current Data:"), pnlTools);
    lblCurrentData->move(234, 4);
    lblCurrentData->adjustSize();
    Label1 = new QLabel(QStringLiteral("Current Time:"), pnlTools);
    Label1->move(234, 20);
    Label1->adjustSize();
    pbxData = new TDataStrip(*this, pnlTools);
    pbxData->setGeometry(315, 3, 534, 18);
    pbxData->setFont(ArialFont(13, true));
    pbxData->setAccessibleName(QStringLiteral("Current Data"));
    lblCurrentTime = new QLabel(QStringLiteral("00:00"), pnlTools);
    lblCurrentTime->setGeometry(315, 20, 300, Label1->height());
    lblCurrentTime->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* stripLayout = new QVBoxLayout(pnlTools);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->addWidget(SilverLine(pnlTools));
    stripLayout->addStretch(1);
    stripLayout->addWidget(SilverLine(pnlTools));
}
