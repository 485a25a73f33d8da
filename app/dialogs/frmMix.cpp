// frmMix: the mixer window.
#include "dialogs/frmMix.h"

#include "fx/ParamUnits.h"
#include "project/FixedField.h"
#include "services/UiServices.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vumo::mixer
{
namespace
{

constexpr int kMaxLevel = 255;
constexpr int kBarWidth = 160;
constexpr int kVolumeTextWidth = 110;
constexpr int kPanTextWidth = 56;

QScrollBar* levelBar(const QString& name, int value, QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(0, kMaxLevel);
    bar->setPageStep(16);
    bar->setMinimumWidth(kBarWidth);
    bar->setValue(std::clamp(value, 0, kMaxLevel));
    return bar;
}

// The label beside a bar, kept up to date with it.
QLabel* valueLabel(const QString& name, QScrollBar* bar, int width, QString (*text)(int),
                   QWidget* parent)
{
    auto* label = new QLabel(text(bar->value()), parent);
    label->setObjectName(name);
    label->setMinimumWidth(width);
    QObject::connect(bar, &QScrollBar::valueChanged, label,
                     [label, text](int value) { label->setText(text(value)); });
    return label;
}

} // namespace

QString volumeText(int volume)
{
    const int v = std::clamp(volume, 0, kMaxLevel);
    return QString::fromStdString(fx::gainText((v * 255 / 256) / 256.0));
}

QString panText(int pan)
{
    const int p = std::clamp(pan, 0, kMaxLevel);
    return QString::fromStdString(fx::panText(std::min(255, 393 - p), std::min(255, p + 128)));
}

frmMix::frmMix(const QList<MixRow>& rows, QWidget* parent) : QDialog(parent), m_rows(rows)
{
    setObjectName(QStringLiteral("frmMix"));
    setWindowTitle(QStringLiteral("Mix"));
    setModal(true);

    // Columns: title, volume bar and its text, pan bar and its text, mute box.
    auto* grid = new QGridLayout;
    const std::pair<const char*, int> headings[] = {
        {"Track", 0}, {"Volume", 1}, {"L    Pan    R", 3}, {"Mute", 5}};
    for (const auto& [text, column] : headings)
        grid->addWidget(new QLabel(QString::fromLatin1(text), this), 0, column, Qt::AlignCenter);
    for (int r = 0; r < m_rows.size(); ++r)
    {
        const MixRow& row = m_rows[r];
        auto* name = new QLabel(project::displayText(project::fieldText(row.title)), this);
        name->setObjectName(QStringLiteral("lblTrackName%1").arg(r));
        name->setMinimumWidth(120);
        m_vol.append(levelBar(QStringLiteral("hscVol%1").arg(r), row.volume, this));
        m_pan.append(levelBar(QStringLiteral("hscPan%1").arg(r), row.pan, this));
        m_volText.append(valueLabel(QStringLiteral("lblVolVal%1").arg(r), m_vol.last(),
                                    kVolumeTextWidth, volumeText, this));
        m_panText.append(valueLabel(QStringLiteral("lblPanVal%1").arg(r), m_pan.last(),
                                    kPanTextWidth, panText, this));
        auto* mute = new QCheckBox(this);
        mute->setObjectName(QStringLiteral("chkMute%1").arg(r));
        mute->setChecked(row.mute != 0);
        m_mute.append(mute);
        grid->addWidget(name, r + 1, 0);
        grid->addWidget(m_vol.last(), r + 1, 1);
        grid->addWidget(m_volText.last(), r + 1, 2);
        grid->addWidget(m_pan.last(), r + 1, 3);
        grid->addWidget(m_panText.last(), r + 1, 4);
        grid->addWidget(mute, r + 1, 5, Qt::AlignCenter);
    }

    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("cmdApply"));
    apply->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(apply, &QPushButton::clicked, this, &frmMix::cmdApply_Click);
    connect(cancel, &QPushButton::clicked, this, &frmMix::cmdCancel_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
}

QList<MixRow> frmMix::editedRows() const
{
    QList<MixRow> rows = m_rows;
    for (int r = 0; r < rows.size(); ++r)
    {
        rows[r].volume = m_vol[r]->value();
        rows[r].pan = m_pan[r]->value();
        rows[r].mute = m_mute[r]->isChecked() ? 1 : 0;
    }
    return rows;
}

void frmMix::cmdApply_Click()
{
    m_applied = true;
    accept();
}

void frmMix::cmdCancel_Click()
{
    m_applied = false;
    reject();
}

std::optional<QList<MixRow>> runMixer(UiServices& ui, const QList<MixRow>& rows, QWidget* parent)
{
    frmMix window(rows, parent);
    ui.runDialog(window);
    if (!window.applied())
        return std::nullopt;
    return window.editedRows();
}

} // namespace vumo::mixer
