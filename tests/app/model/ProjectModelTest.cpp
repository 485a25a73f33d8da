// The project model: each kind of change with its one signal, and the dialogs of the studio's
// commands, cancelled, leaving the model as it was and saying nothing.
#include "model/ProjectModel.h"
#include "../StudioFixture.h"
#include "model/ProjectRecords.h"

#include <QAction>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace vumo;
using namespace vumo::test;

namespace
{

// Every signal of the model, as "name(arguments)" in the order of the model's signals.
class SignalLog
{
public:
    explicit SignalLog(const ProjectModel& model)
    {
        const QMetaObject& meta = ProjectModel::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                m_spies.push_back(std::make_unique<QSignalSpy>(&model, meta.method(i)));
    }

    QStringList seen() const
    {
        QStringList names;
        for (const auto& spy : m_spies)
            for (const QList<QVariant>& args : *spy)
            {
                QStringList values;
                for (const QVariant& v : args)
                    values << v.toString();
                names << QString::fromLatin1(spy->signal()).section(u'(', 0, 0) + u'(' +
                             values.join(u',') + u')';
            }
        return names;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

// What a change can touch: count and titles, current track, the first track's gains, title,
// length, tempo, the MIDI buffer, the drum song.
QString summary(const ModVumo& m)
{
    QStringList titles;
    for (int k = 0; k < m.trackCount; ++k)
        titles << m.tracks[k].title.trimmed();
    return QStringLiteral("%1 [%2] cur %3 gains %4/%5/%6 %7 %8 %9 %10 %11")
        .arg(m.trackCount)
        .arg(titles.join(u','))
        .arg(m.currentTrack)
        .arg(m.tracks[0].volume)
        .arg(m.tracks[0].pan)
        .arg(m.tracks[0].mute)
        .arg(m.projTitle.trimmed())
        .arg(m.trackLength)
        .arg(m.tempo)
        .arg(m.settings.midiBufLen)
        .arg(m.drums.songPattern);
}

// A project "Demo" of 1 MB with tracks "a" and "b".
project::ProjectData twoTracks()
{
    project::ProjectData data = project::newProjectData(1);
    data.projTitle = "Demo";
    data.tracks = {{"a", "/x/a.wav"}, {"b", "/x/b.wav"}};
    return data;
}

} // namespace

class ProjectModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }

    // (change, its signal, the state after, unsaved); a change to what the model holds already,
    // or to a track outside the table, gives none and changes nothing.
    void everyChangeSaysWhatChanged()
    {
        using Change = std::function<void(ProjectModel&)>;
        const QString was = "2 [a,b] cur 0 gains 255/127/0 Demo 262144 100 32768 ";
        const auto with = [&was](const char* from, const char* to)
        { return QString(was).replace(QString::fromLatin1(from), QString::fromLatin1(to)); };
        FixedText<16> song;
        song.assign(QStringLiteral("Song"));
        FixedText<128> file;
        file.assign(QStringLiteral("/x/c.wav"));
        TrackRecord c;
        c.title.assign(QStringLiteral("c"));
        StudioSettings settings;
        settings.midiBufLen = 512;
        drums::DrumData drums;
        drums.songPattern = QStringLiteral("12");
        using Row = std::tuple<Change, QString, QString, bool>;
        for (const auto& [change, signal, after, unsaved] :
             std::vector<Row>{
                 {[](ProjectModel& m) { m.replaceProject(twoTracks(), "00.06"); },
                  "projectReplaced()", was, false},
                 {[&](ProjectModel& m) {
                      m.setProjectProps({song, 524288, "00.12"});
                  },
                  "headerChanged()", with("Demo 262144", "Song 524288"), true},
                 {[](ProjectModel& m) { m.setTempo(120); }, "headerChanged()",
                  with(" 100 ", " 120 "), true},
                 {[&](ProjectModel& m) { m.addTrack(c); }, "trackAdded(2)",
                  with("2 [a,b]", "3 [a,b,c]"), true},
                 {[](ProjectModel& m) { m.removeTrack(0); }, "trackRemoved(0)",
                  with("2 [a,b]", "1 [b]"), true},
                 {[](ProjectModel& m) { m.removeTrack(2); }, "", was, false},
                 {[&](ProjectModel& m) { m.setTrackNames(0, song, file); }, "trackChanged(0)",
                  with("[a,", "[Song,"), true},
                 {[](ProjectModel& m) { m.setTrackGains(0, 9, 8, 1); }, "trackGainsChanged(0)",
                  with("255/127/0", "9/8/1"), true},
                 {[](ProjectModel& m) { m.setMute(1, true); }, "trackGainsChanged(1)", was, true},
                 {[](ProjectModel& m) { m.setVolume(0, 255); }, "", was, false},
                 {[](ProjectModel& m) { m.setCurrentTrack(1); }, "currentTrackChanged(1)",
                  with("cur 0", "cur 1"), false},
                 {[&](ProjectModel& m) { m.setSettings(settings); }, "settingsChanged()",
                  with("32768", "512"), false},
                 {[&](ProjectModel& m) { m.setDrums(drums); }, "drumsChanged()", was + "12",
                  false}})
        {
            ProjectModel model;
            model.replaceProject(twoTracks(), QStringLiteral("00.06"));
            model.markSaved();
            SignalLog log(model);
            change(model);
            QCOMPARE(log.seen(), signal.isEmpty() ? QStringList() : QStringList{signal});
            QCOMPARE(summary(model.mod()), after);
            QCOMPARE(model.unsaved(), unsaved);
        }
    }

    // Each command's dialog, changed and then cancelled, leaves the model as it was, silent.
    void cancelledDialogsChangeNothing()
    {
        const auto set = [](const char* control, int value)
        {
            return [control, value](QDialog& d)
            {
                if (auto* bar = d.findChild<QScrollBar*>(QString::fromLatin1(control)))
                    bar->setValue(value);
                if (auto* box = d.findChild<QLineEdit*>(QString::fromLatin1(control)))
                    box->setText(QStringLiteral("changed"));
                if (auto* cancel = d.findChild<QAbstractButton*>(QStringLiteral("cmdCancel")))
                    cancel->click();
                if (auto* cancel = d.findChild<QAbstractButton*>(QStringLiteral("CancelButton")))
                    cancel->click();
                d.close();
            };
        };
        for (const auto& [item, script] : {std::pair{"mnuFileProps", set("vscMem", 200)},
                                           {"mnuFileNew", set("txtTitle", 0)},
                                           {"mnuTrackProps", set("txtTitle", 0)},
                                           {"mnuToolsOptions", set("vscTempo", 10)},
                                           {"mnuTrackMix", set("hscVol0", 3)},
                                           {"mnuFXEcho", set("HScroll1", 3)}})
        {
            StudioFixture s;
            s.newProject(1, QStringLiteral("Demo"));
            s.addTrack();
            const project::ProjectData project = toProjectData(s.mod);
            const StudioSettings settings = s.mod.settings;
            const QString drawn = summary(s.mod);
            s.ui.shown.clear();
            SignalLog log(s.model);
            QStringList called; // the engine calls but a redraw's reads
            EngineSpy::watch = [&called](const char* name)
            {
                if (qstrcmp(name, "TrackRead") != 0)
                    called << QString::fromLatin1(name);
            };
            s.ui.dialogs.push_back(script);
            s.w.findChild<QAction*>(QString::fromLatin1(item))->trigger();
            EngineSpy::watch = nullptr;
            QCOMPARE(called, QStringList());
            QVERIFY2(s.ui.texts(Shown::Kind::Dialog).size() == 1, item);
            QVERIFY2(log.seen().isEmpty(), qPrintable(log.seen().join(u' ')));
            QVERIFY(toProjectData(s.mod) == project);
            QVERIFY(s.mod.settings == settings);
            QCOMPARE(summary(s.mod), drawn);
        }
    }
};

QTEST_MAIN(ProjectModelTest)
#include "ProjectModelTest.moc"
