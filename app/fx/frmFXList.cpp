// frmFXList: the effect chain window.
#include "fx/frmFXList.h"

#include "engineapi/Transport.h"
#include "fx/EffectCatalog.h"
#include "fx/FrmFX.h"
#include "services/UiServices.h"

#include "ui_frmFXList.h"

#include <utility>

namespace vumo::fx
{

frmFXList::frmFXList(FxEngine& engine, UiServices& services, EffectSetting& setting,
                     ChainTarget target, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmFXList>()), m_engine(engine),
      m_services(services), m_setting(setting), m_target(target)
{
    ui->setupUi(this);
    // Some effects are not offered, but chain files may hold them.
    for (const EffectInfo* e : chainOffered())
        ui->lstAvailable->addItem(QString::fromLatin1(e->listName));
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmFXList::cmdAdd_Click);
    connect(ui->lstAvailable, &QListWidget::itemDoubleClicked, this, &frmFXList::cmdAdd_Click);
    connect(ui->lstFX, &QListWidget::itemDoubleClicked, this, &frmFXList::lstFX_DblClick);
    connect(ui->cmdDelete, &QPushButton::clicked, this, &frmFXList::cmdDelete_Click);
    connect(ui->cmdUp, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(ui->cmdDown, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmFXList::cmdApply_Click);
    connect(ui->cmdAudition, &QPushButton::clicked, this, &frmFXList::cmdAudition_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmFXList::reject);
    connect(ui->cmdSave, &QPushButton::clicked, this, &frmFXList::cmdSave_Click);
    connect(ui->cmdLoad, &QPushButton::clicked, this, &frmFXList::cmdLoad_Click);
}

frmFXList::~frmFXList() = default;

void frmFXList::reject()
{
    if (!m_busy)
        QDialog::reject();
}

bool frmFXList::editValues(int32_t code, const ChainEntry* values)
{
    fillDefaults(m_setting, code);
    if (values != nullptr)
    {
        m_setting.value1 = values->value1;
        m_setting.value2 = values->value2;
        m_setting.value3 = values->value3;
    }
    FrmFX dialog(code, m_setting, m_services, this);
    const bool accepted = m_services.runDialog(dialog) == QDialog::Accepted;
    m_setting = dialog.setting();
    if (!accepted)
        return false;
    orderBandPass(m_setting);
    return true;
}

void frmFXList::cmdAdd_Click()
{
    const QListWidgetItem* item = ui->lstAvailable->currentItem();
    const int32_t code = item != nullptr ? codeFromListName(item->text().toStdString()) : 0;
    if (code == 0)
        return;
    if (m_chain.full())
    {
        m_services.message(
            QStringLiteral("The chain is full: it holds %1 effects.").arg(EffectChain::kCapacity),
            MsgIcon::Exclamation);
        return;
    }
    if (!editValues(code, nullptr))
        return;
    m_chain.entries[size_t(m_chain.count)] = {
        m_setting.value1, m_setting.value2, 0, m_setting.value3, 0, code};
    ++m_chain.count;
    ui->lstFX->addItem(item->text());
}

void frmFXList::lstFX_DblClick()
{
    const int i = ui->lstFX->currentRow();
    if (i < 0 || i >= m_chain.count)
        return;
    // The entry's own code: an entry of a code without a list name keeps it.
    ChainEntry& entry = m_chain.entries[size_t(i)];
    if (!editValues(entry.code, &entry))
        return;
    entry.value1 = m_setting.value1;
    entry.value2 = m_setting.value2;
    entry.value3 = m_setting.value3;
}

void frmFXList::cmdDelete_Click()
{
    const int i = ui->lstFX->currentRow();
    if (i < 0 || i >= m_chain.count)
        return;
    for (int k = i; k + 1 < m_chain.count; ++k)
        m_chain.entries[size_t(k)] = m_chain.entries[size_t(k) + 1];
    --m_chain.count;
    m_chain.entries[size_t(m_chain.count)] = {};
    delete ui->lstFX->takeItem(i);
}

void frmFXList::moveSelected(int by)
{
    const int i = ui->lstFX->currentRow();
    const int j = i + by;
    if (i < 0 || i >= m_chain.count || j < 0 || j >= m_chain.count)
        return;
    std::swap(m_chain.entries[size_t(i)], m_chain.entries[size_t(j)]);
    refillChosen(j);
}

void frmFXList::refillChosen(int selected)
{
    ui->lstFX->clear();
    for (int k = 0; k < m_chain.count; ++k)
        ui->lstFX->addItem(QString::fromLatin1(listNameOfCode(m_chain.entries[size_t(k)].code)));
    if (selected >= 0 && selected < m_chain.count)
        ui->lstFX->setCurrentRow(selected);
}

void frmFXList::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget* w : {static_cast<QWidget*>(ui->lstAvailable), static_cast<QWidget*>(ui->lstFX),
                       static_cast<QWidget*>(ui->cmdAdd), static_cast<QWidget*>(ui->cmdDelete),
                       static_cast<QWidget*>(ui->cmdUp), static_cast<QWidget*>(ui->cmdDown),
                       static_cast<QWidget*>(ui->cmdAudition), static_cast<QWidget*>(ui->cmdApply),
                       static_cast<QWidget*>(ui->cmdCancel), static_cast<QWidget*>(ui->cmdSave),
                       static_cast<QWidget*>(ui->cmdLoad)})
        w->setEnabled(!busy);
}

void frmFXList::runChain(int32_t a, int32_t b)
{
    checkEngine(m_services, "SetTrackAttr",
                m_engine.SetTrackAttr(m_target.track, m_target.volume, m_target.pan));
    ui->picProgress->clear();
    m_engine.FilterGraph(1, a, b);
    ui->picProgress->step(0, m_chain.count);
    for (int k = 0; k < m_chain.count; ++k)
    {
        const ChainEntry& e = m_chain.entries[size_t(k)];
        checkEngine(m_services, "FXIt", m_engine.FXIt(e.code, a, b, e.value1, e.value2, e.value3));
        ui->picProgress->step(k + 1, m_chain.count);
    }
    m_engine.FilterGraph(2, a, b);
}

void frmFXList::cmdApply_Click()
{
    if (m_chain.count < 1 || (m_keepStep && !m_keepStep(m_target.selStart, m_target.selEnd)))
        return;
    setBusy(true);
    runChain(m_target.selStart, m_target.selEnd);
    setBusy(false);
    accept();
}

void frmFXList::cmdAudition_Click()
{
    const int32_t h = int32_t((int64_t(m_target.selEnd) - m_target.selStart) / 2);
    if (h <= kAuditionMinHalfFrames)
        return;
    AudStart = m_target.selStart + h - kAuditionHalfFrames;
    AudEnd = m_target.selStart + h + kAuditionHalfFrames;
    if (m_chain.count == 0)
        return;
    setBusy(true);
    runChain(AudStart, AudEnd);
    // The track gets the unprocessed excerpt back, the work buffer the mix, which plays.
    m_engine.FilterGraph(3, AudStart, AudEnd);
    if (checkEngine(m_services, "FilterGraph", m_engine.FilterGraph(5, AudStart, AudEnd)))
        waitWhileAuditionPlays();
    // Stopped, swapped back and copied back, whatever the device said: the track ends as it
    // began.
    m_engine.FilterGraph(6, AudStart, AudEnd);
    m_engine.FilterGraph(3, AudStart, AudEnd);
    m_engine.FilterGraph(4, AudStart, AudEnd);
    setBusy(false);
}

void frmFXList::waitWhileAuditionPlays()
{
    // The window system runs until the excerpt has played (or the device stopped).
    Transport audition(Transport::Probe{[this] { return m_engine.IsPlaying() != 0; },
                                        [this] { return m_engine.GetPosition(); }});
    audition.follow(AudStart, AudEnd);
    audition.waitForFinished();
}

void frmFXList::cmdSave_Click()
{
    const QString path =
        m_services.browseForFile(QStringLiteral("*.mfx"), QStringLiteral("Save as"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveChainFile(path, m_chain, error))
        m_services.message(error, MsgIcon::Exclamation);
}

void frmFXList::cmdLoad_Click()
{
    const QString path = m_services.browseForFile(QStringLiteral("*.mfx"), QStringLiteral("Open"));
    if (path.isEmpty())
        return;
    QString error;
    if (!loadChainFile(path, m_chain, error))
    {
        m_services.message(error, MsgIcon::Exclamation);
        return;
    }
    refillChosen(-1);
}

} // namespace vumo::fx
