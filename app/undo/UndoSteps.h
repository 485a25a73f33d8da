// UndoSteps: the undo and redo steps of each track of the open project. A step keeps the frames
// a change touched, as they were before it, in a wave file of the project's undo folder; undoing
// writes them back through the engine (keeping what they replace for the redo) and redoing puts
// that back. The folder lives under the application folder and goes with the project.
//
// Writing a step costs a file write as long as the change's frames, as much as a fast effect
// over the whole track. So while the studio is idle, an image of the whole current track is
// written ahead (prepareImage); a change over much of the track then takes that image as its
// step, a rename instead of a write, as long as the engine says the track has not changed since.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace vumo
{

class EngineBinding;

class UndoSteps
{
public:
    // One change of a track: frames [first, last) before it and, once undone, after it
    // (afterFile). label names the change for the Edit menu ("Echo", "Cut"). beforeFile holds
    // frames [keptFirst, keptLast) before the change: the changed ones, or the whole track when
    // the step is an image written ahead (the frames beside the change are the same before it
    // and after it, so writing all of them back is the same undo).
    struct Step
    {
        int32_t first = 0;
        int32_t last = 0;
        QString label;
        QString beforeFile;
        QString afterFile;
        int32_t keptFirst = 0;
        int32_t keptLast = 0;
    };

    // parentFolder: where the undo folder is made (the application folder), read when the first
    // step of a project is kept.
    UndoSteps(EngineBinding& engine, const QString& parentFolder);
    ~UndoSteps();
    UndoSteps(const UndoSteps&) = delete;
    UndoSteps& operator=(const UndoSteps&) = delete;

    // Keeps frames [first, last) of the engine's current track, track k of the project with its
    // file trackFile, as the step before a change named label; the track's redo steps are
    // dropped. False, with why set, when the step could not be written (the disk is full):
    // nothing is kept then.
    bool keep(int k, const QString& trackFile, int32_t first, int32_t last, const QString& label,
              QString* why);
    // Writes an image of the engine's current track, track k of trackLength frames, for the
    // next step to take (see above). Nothing is written while the image already there still
    // holds the track, or when the engine binding does not count its changes; a failed write
    // leaves no image (the next step is then written as usual).
    void prepareImage(int k, int32_t trackLength);

    // Undoes the last step of track k, the engine's current track, whose gains are volume and
    // pan (the paste back is made at unity gain and the gains are restored). False, with why set,
    // when it could not be (the track is then as it was and the step stays).
    bool undo(int k, int32_t volume, int32_t pan, QString* why);
    bool redo(int k, int32_t volume, int32_t pan, QString* why);

    // What the next undo and redo of track k would undo or redo; empty when there is none.
    QString undoLabel(int k) const;
    QString redoLabel(int k) const;
    int undoCount(int k) const;

    // Drops every step of track k (its file changed elsewhere, or a change went on without one).
    void dropTrack(int k);
    // Track k now has the file trackFile: steps kept for another file are dropped.
    void trackFileNamed(int k, const QString& trackFile);
    // Track k was taken out of the project: its steps go, the tracks above it move down.
    void trackRemoved(int k);
    // Drops every step and removes the undo folder (the project closes).
    void clear();

    // The undo folder, empty before the first step of a project.
    QString folder() const { return m_folder; }

private:
    struct Track
    {
        QString file;
        std::vector<Step> undo;
        std::vector<Step> redo;
    };

    // The image written ahead: track k's frames [0, length) as they were after `changes` engine
    // changes.
    struct Image
    {
        QString file;
        int k = -1;
        int32_t length = 0;
        uint64_t changes = 0;
    };

    bool makeFolder(QString* why);
    bool takeImage(int k, Step& step);
    void dropImage();
    QString newFile();
    int32_t pasteAtUnity(int k, const QString& file, int32_t first, int32_t last, int32_t volume,
                         int32_t pan);
    static void removeFiles(std::vector<Step>& steps);

    EngineBinding& m_engine;
    const QString& m_parentFolder;
    QString m_folder;
    quint64 m_serial = 0;
    std::map<int, Track> m_tracks;
    Image m_image;
};

} // namespace vumo
