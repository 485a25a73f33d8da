// FrmFX: the parameter dialog of the effects.
#include "fx/FrmFX.h"

#include "fx/EffectCatalog.h"
#include "services/UiServices.h"

#include "ui_FrmFX.h"

#include <QDir>

#include <array>
#include <string_view>

namespace vumo::fx
{

namespace
{

// One slider's row: caption, unit text, number, bar.
struct Row
{
    QLabel* caption;
    QLabel* unit;
    QLabel* number;
    QScrollBar* bar;
};

std::array<Row, 3> rowsOf(Ui::FrmFX& ui)
{
    return {Row{ui.Label1, ui.lblRUnit, ui.lblRVal, ui.HScroll1},
            Row{ui.Label2, ui.lblDUnit, ui.lblDVal, ui.HScroll2},
            Row{ui.Label3, ui.lblPUnit, ui.lblPVal, ui.HScroll3}};
}

} // namespace

FrmFX::FrmFX(int32_t code, const EffectSetting& setting, UiServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmFX>()), m_code(code), m_setting(setting),
      m_services(services)
{
    ui->setupUi(this);
    const EffectInfo* effect = findEffectInfo(code);
    const std::array<Row, 3> rows = rowsOf(*ui);
    for (int i = 0; i < 3; ++i)
    {
        connect(rows[i].bar, &QScrollBar::valueChanged, rows[i].number,
                qOverload<int>(&QLabel::setNum));
        connect(rows[i].bar, &QScrollBar::valueChanged, this,
                [this, i](int value) { showUnit(i, value); });
        // A parameter the effect does not use gets no slider.
        const bool used = effect == nullptr || std::string_view(effect->meanings[i]) != "-";
        for (QWidget* w : std::initializer_list<QWidget*>{rows[i].caption, rows[i].unit,
                                                          rows[i].number, rows[i].bar})
            w->setVisible(used);
    }
    ui->lblNoSettings->setVisible(effect != nullptr && !rows[0].bar->isVisibleTo(this) &&
                                  !rows[1].bar->isVisibleTo(this) &&
                                  !rows[2].bar->isVisibleTo(this));
    connect(ui->OKButton, &QPushButton::clicked, this, &FrmFX::accept);
    connect(ui->CancelButton, &QPushButton::clicked, this, &FrmFX::reject);
    connect(ui->cmdLoad, &QPushButton::clicked, this, &FrmFX::cmdLoad_Click);
    connect(ui->cmdSave, &QPushButton::clicked, this, &FrmFX::cmdSave_Click);
    m_setting.cancelled = EffectSetting::kTrue;
    fillControls();
    adjustSize();
}

FrmFX::~FrmFX() = default;

void FrmFX::fillControls()
{
    setWindowTitle(QStringLiteral("FX - ") + QString::fromLocal8Bit(m_setting.name));
    ui->Label1->setText(QString::fromLocal8Bit(m_setting.caption1));
    ui->Label2->setText(QString::fromLocal8Bit(m_setting.caption2));
    ui->Label3->setText(QString::fromLocal8Bit(m_setting.caption3));
    // The scroll bars clamp to 0 ... 255; the labels then show the clamped value. Setting a
    // bar to the value it holds emits nothing, so the labels are written here too.
    const std::array<Row, 3> rows = rowsOf(*ui);
    const int32_t values[3] = {m_setting.value1, m_setting.value2, m_setting.value3};
    for (int i = 0; i < 3; ++i)
    {
        rows[i].bar->setValue(values[i]);
        rows[i].number->setNum(rows[i].bar->value());
        showUnit(i, rows[i].bar->value());
    }
}

void FrmFX::showUnit(int row, int value)
{
    const EffectInfo* effect = findEffectInfo(m_code);
    const QString text =
        effect != nullptr ? QString::fromStdString(unitText(effect->units[row], value)) : QString();
    rowsOf(*ui)[size_t(row)].unit->setText(text);
}

void FrmFX::storeSliders()
{
    m_setting.value1 = ui->HScroll1->value();
    m_setting.value2 = ui->HScroll2->value();
    m_setting.value3 = ui->HScroll3->value();
}

void FrmFX::accept()
{
    m_setting.cancelled = 0;
    storeSliders();
    QDialog::accept();
}

// Whatever flag a loaded file held, only OK clears it.
void FrmFX::reject()
{
    m_setting.cancelled = EffectSetting::kTrue;
    QDialog::reject();
}

void FrmFX::cmdLoad_Click()
{
    const QString path = m_services.browseForFile(QStringLiteral("*.sfx"), QStringLiteral("Open"));
    if (path.isEmpty())
        return;
    EffectSetting loaded = m_setting;
    QString error;
    if (!loadEffectFile(path, loaded, error))
    {
        m_services.message(error, MsgIcon::Exclamation);
        return;
    }
    // OK runs the effect the dialog was opened for, so a setting of another effect would put
    // its name over an effect it does not describe: it is refused.
    if (loaded.name != m_setting.name)
    {
        m_services.message(
            QStringLiteral("The effect file %1 holds a setting of \"%2\", not of \"%3\"; it is "
                           "not loaded.")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(loaded.name),
                     QString::fromLocal8Bit(m_setting.name)),
            MsgIcon::Exclamation);
        return;
    }
    m_setting = loaded;
    fillControls();
}

void FrmFX::cmdSave_Click()
{
    const QString path =
        m_services.browseForFile(QStringLiteral("*.sfx"), QStringLiteral("Save as"));
    if (path.isEmpty())
        return;
    storeSliders();
    QString error;
    if (!saveEffectFile(path, m_setting, error))
        m_services.message(error, MsgIcon::Exclamation);
}

} // namespace vumo::fx
