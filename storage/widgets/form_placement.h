// SPDX-License-Identifier: MIT
#pragma once

#include "storage/core/ini_file.h"
#include "storage/core/placement_keys.h"

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace dw {

class TWindowHook;
struct TMinMaxInfo;
struct TWindowMessage;

// The size limits a form imposes on its window, in pixels; zero means "not
// set". They answer the window's size query: smallest and largest drag
// size, and where and how large the window is when maximized.
class TWinMinMaxInfo {
public:
    enum Index {
        kMaxPosLeft = 0,
        kMaxPosTop = 1,
        kMaxSizeHeight = 2,
        kMaxSizeWidth = 3,
        kMaxTrackHeight = 4,
        kMaxTrackWidth = 5,
        kMinTrackHeight = 6,
        kMinTrackWidth = 7,
    };

    std::int32_t Value(Index index) const { return m_values[index]; }
    void SetValue(Index index, std::int32_t value);

    std::int32_t MaxPosLeft() const { return m_values[kMaxPosLeft]; }
    void SetMaxPosLeft(std::int32_t value) { SetValue(kMaxPosLeft, value); }
    std::int32_t MaxPosTop() const { return m_values[kMaxPosTop]; }
    void SetMaxPosTop(std::int32_t value) { SetValue(kMaxPosTop, value); }
    std::int32_t MaxSizeHeight() const { return m_values[kMaxSizeHeight]; }
    void SetMaxSizeHeight(std::int32_t value) { SetValue(kMaxSizeHeight, value); }
    std::int32_t MaxSizeWidth() const { return m_values[kMaxSizeWidth]; }
    void SetMaxSizeWidth(std::int32_t value) { SetValue(kMaxSizeWidth, value); }
    std::int32_t MaxTrackHeight() const { return m_values[kMaxTrackHeight]; }
    void SetMaxTrackHeight(std::int32_t value) { SetValue(kMaxTrackHeight, value); }
    std::int32_t MaxTrackWidth() const { return m_values[kMaxTrackWidth]; }
    void SetMaxTrackWidth(std::int32_t value) { SetValue(kMaxTrackWidth, value); }
    std::int32_t MinTrackHeight() const { return m_values[kMinTrackHeight]; }
    void SetMinTrackHeight(std::int32_t value) { SetValue(kMinTrackHeight, value); }
    std::int32_t MinTrackWidth() const { return m_values[kMinTrackWidth]; }
    void SetMinTrackWidth(std::int32_t value) { SetValue(kMinTrackWidth, value); }

    // Copies the eight values (one change notice).
    void Assign(const TWinMinMaxInfo& other);
    // At least one limit is non-zero.
    bool IsSet() const;
    // Every non-zero limit overwrites its field of the query; zero ones stay
    // as the window's frame filled them.
    void ApplyTo(TMinMaxInfo& info) const;

    // Called after every change (the form placement re-evaluates its hook).
    void SetOnChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    bool operator==(const TWinMinMaxInfo& other) const { return m_values == other.m_values; }

private:
    std::array<std::int32_t, 8> m_values{};
    std::function<void()> m_onChange;
};

// Keeps a form's window placement (position, size, normal / minimized /
// maximized state) in a profile file between runs, and imposes the form's
// size limits on its window.
//
// The owner is the form (or a control or object on it). Once loading ends
// (Loaded) the component:
//  - restores the placement from the profile each time the form is shown
//    (RestoreFromProfile, while Active);
//  - saves it when a close of the form is allowed: the window's own
//    close handling runs first and may refuse the close, and then nothing is
//    saved (SaveToProfile, while Active);
//  - saves it as the form is destroyed when no save happened since the last
//    restore ("Visible" is then "1");
//  - answers the window's size query from MinMaxInfo, or pins the window's
//    size with PreventResize.
// Errors of a save go to the error display and never stop the close; a
// restore reports nothing.
//
// The form's destruction is seen as the destruction of this component while
// its form is still whole, so keep it as a member of the form (or delete it
// from the form's destructor): then the fields it saves still exist.
class TFormPlacement : public QObject {
    Q_OBJECT

public:
    enum TPlacementOption { fpState = 0x1, fpPosition = 0x2, fpActiveControl = 0x4 };
    Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
    Q_FLAG(TPlacementOptions)

private:
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString IniFileName READ IniFileName WRITE SetIniFileName)
    Q_PROPERTY(QString IniSection READ IniSection WRITE SetIniSection)
    Q_PROPERTY(TPlacementOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool PreventResize READ PreventResize WRITE SetPreventResize)
    Q_PROPERTY(bool UseRegistry READ UseRegistry WRITE SetUseRegistry)

public:
    // The owner is also the QObject parent.
    explicit TFormPlacement(QObject* owner);
    ~TFormPlacement() override;

    TFormPlacement(const TFormPlacement&) = delete;
    TFormPlacement& operator=(const TFormPlacement&) = delete;

    // End of loading: hooks the form's show, close and destruction, and
    // attaches the size-limit hook when limits are set or PreventResize is on.
    virtual void Loaded();
    bool IsLoaded() const { return m_loaded; }

    bool Active() const { return m_active; }
    void SetActive(bool value) { m_active = value; }
    // Empty: DefaultProfileName().
    const QString& IniFileName() const { return m_iniFileName; }
    void SetIniFileName(const QString& value) { m_iniFileName = value; }
    // Empty: DefaultProfileSection().
    const QString& IniSection() const { return m_iniSection; }
    void SetIniSection(const QString& value) { m_iniSection = value; }
    TPlacementOptions Options() const { return m_options; }
    void SetOptions(TPlacementOptions value) { m_options = value; }
    bool PreventResize() const { return m_preventResize; }
    void SetPreventResize(bool value);
    // There is no registry on this platform: the keys go to the profile file
    // either way.
    bool UseRegistry() const { return m_useRegistry; }
    void SetUseRegistry(bool value) { m_useRegistry = value; }

    TWinMinMaxInfo& MinMaxInfo() { return m_minMaxInfo; }
    const TWinMinMaxInfo& MinMaxInfo() const { return m_minMaxInfo; }
    void SetMinMaxInfo(const TWinMinMaxInfo& value) { m_minMaxInfo.Assign(value); }

    // Whether the platform tells where a window stands. Where it does not
    // (Wayland: every window reads as standing at 0,0), a save keeps the
    // position another session stored instead of writing 0,0 over it.
    bool PositionReported() const { return m_positionReported; }
    void SetPositionReported(bool value) { m_positionReported = value; }
    static bool PlatformReportsPosition();

    QObject* Owner() const { return m_owner; }
    // The owner when it is a form (a top-level window), else null.
    QWidget* Form() const;

    // Writes the placement (and, in TFormStorage, the stored values) and
    // fires OnSavePlacement. Does nothing while Active is on and no restore
    // has run, so a window that never read the file never overwrites it.
    // Raises EFileError when the file cannot be written.
    void SaveToProfile();
    // Reads the placement (and the stored values) and fires
    // OnRestorePlacement.
    void RestoreFromProfile();

    // One key of the profile file; a file is opened for the call when no
    // save or restore has one open.
    QString ProfileReadString(const QString& section, const QString& key, const QString& defaultValue);
    // A value that begins and ends with the same quote gets one more pair of
    // double quotes, so it reads back unchanged.
    void ProfileWriteString(const QString& section, const QString& key, const QString& value);

    // IniSection, or DefaultProfileSection when that is empty.
    QString ProfileSection() const;
    // The form's class name (here "TForm1"), or a name built from the
    // owner's place on its form.
    QString DefaultProfileSection() const;
    // IniFileName, or DefaultProfileName when that is empty.
    QString ProfileFileName() const;
    // The program file's name with ".INI" for its extension, without
    // directory, unless the application supplies a name.
    static QString DefaultProfileName();
    static void SetDefaultProfileNameHook(std::function<QString()> hook);

    // The placement keys of a form; see ReadPlacementKeys in the core.
    void ReadPlacementKeys(QWidget* form, const QString& section, bool readState, bool readPosition);
    void WritePlacementKeys(QWidget* form, const QString& section);
    // The window's placement as the profile records it.
    TWindowPlacementRecord CurrentPlacement(QWidget* form) const;
    static TScreenMetrics CurrentScreen();

    // Answers a size query of the form's window (the size-limit hook).
    void ApplySizeLimits(TMinMaxInfo& info) const;

    bool Restored() const { return m_restored; }
    bool Saved() const { return m_saved; }
    bool Destroying() const { return m_destroying; }
    // The size-limit hook is attached to the form's window.
    bool SizeHookActive() const;

signals:
    void OnSavePlacement(QObject* sender);
    void OnRestorePlacement(QObject* sender);

protected:
    // Placement keys, "ActiveControl", "Visible".
    virtual void SavePlacement();
    // Placement keys.
    virtual void RestorePlacement();

    void SetRestored(bool value) { m_restored = value; }

    // The form's destruction step: saves once more when no save happened.
    // The most derived destructor calls it while its own parts still exist.
    void FormDestroying();

    // The profile file of one save or restore, or of one key read or written
    // outside them; freed at the end, error or not. The calls made through
    // it form one batch of the file (see TIniFile::Batch): the file is looked
    // at once, and Commit stores what was written in one write. A scope
    // opened while another one is open joins it, and only the outermost
    // scope's Commit stores. A scope left without Commit (an error ended it)
    // stores nothing, so a failed save leaves the file as it was.
    class ProfileScope {
    public:
        explicit ProfileScope(TFormPlacement& placement);
        ~ProfileScope();
        ProfileScope(const ProfileScope&) = delete;
        ProfileScope& operator=(const ProfileScope&) = delete;

        TIniFile& File() { return *m_placement.m_iniFile; }
        // Raises EFileError when the changes cannot be stored.
        void Commit();

    private:
        TFormPlacement& m_placement;
        bool m_owned;
        std::optional<TIniFile::Batch> m_batch;
    };

private:
    void ReportUnreadableProfile(const TIniFile& file);
    void UpdatePlacement();
    void FormBefore(TWindowMessage& message);
    void FormAfter(TWindowMessage& message);
    void SizeAfter(TWindowMessage& message);
    void ApplyNormalRect(QWidget* form, const TPlacementRect& rect);
    void ApplyState(QWidget* form, TWindowShowState state, std::int32_t flags);
    static bool IsMainForm(const QWidget* form);
    static QString ClassNameOf(const QObject* object);

    QPointer<QObject> m_owner;
    QString m_formClassName;  // taken while the form is whole
    std::unique_ptr<TWindowHook> m_formHook;
    std::unique_ptr<TWindowHook> m_sizeHook;
    std::unique_ptr<TIniFile> m_iniFile;

    bool m_active = true;
    QString m_iniFileName;
    QString m_iniSection;
    TPlacementOptions m_options;
    bool m_preventResize = false;
    bool m_useRegistry = false;
    TWinMinMaxInfo m_minMaxInfo;

    bool m_loaded = false;
    bool m_restored = false;
    bool m_reportedUnreadable = false;  // the window was told its profile cannot be read
    bool m_saved = false;
    bool m_destroying = false;
    bool m_formDestroyDone = false;

    // The positions a window of this platform does not keep itself.
    bool m_positionReported = PlatformReportsPosition();
    TPlacementPoint m_minPosition{-1, -1};
    TPlacementPoint m_maxPosition{-1, -1};
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFormPlacement::TPlacementOptions)

}  // namespace dw
