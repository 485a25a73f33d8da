// FrmFX: the parameter dialog of the effects.
#include "fx/FrmFX.h"

#include "services/UiServices.h"

#include "ui_FrmFX.h"

#include <QDir>

namespace vumo::fx
{

FrmFX::FrmFX(const EffectSetting& setting, UiServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmFX>()), m_setting(setting), m_services(services)
{
    ui->setupUi(this);
    connect(ui->HScroll1, &QScrollBar::valueChanged, ui->lblRVal, qOverload<int>(&QLabel::setNum));
    connect(ui->HScroll2, &QScrollBar::valueChanged, ui->lblDVal, qOverload<int>(&QLabel::setNum));
    connect(ui->HScroll3, &QScrollBar::valueChanged, ui->lblPVal, qOverload<int>(&QLabel::setNum));
    connect(ui->OKButton, &QPushButton::clicked, this, &FrmFX::accept);
    connect(ui->CancelButton, &QPushButton::clicked, this, &FrmFX::reject);
    connect(ui->cmdLoad, &QPushButton::clicked, this, &FrmFX::cmdLoad_Click);
    connect(ui->cmdSave, &QPushButton::clicked, this, &FrmFX::cmdSave_Click);
    m_setting.cancelled = EffectSetting::kTrue;
    fillControls();
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
    const std::pair<QScrollBar*, int32_t> bars[] = {{ui->HScroll1, m_setting.value1},
                                                    {ui->HScroll2, m_setting.value2},
                                                    {ui->HScroll3, m_setting.value3}};
    const std::pair<QScrollBar*, QLabel*> labels[] = {
        {ui->HScroll1, ui->lblRVal}, {ui->HScroll2, ui->lblDVal}, {ui->HScroll3, ui->lblPVal}};
    for (const auto& [bar, value] : bars)
        bar->setValue(value);
    for (const auto& [bar, label] : labels)
        label->setNum(bar->value());
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
