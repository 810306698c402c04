#pragma once

#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/host.h"
#include "platform/settings_backend.h"

// A check box or radio button of any toolkit: only its checked state is read or set.
template <typename T>
concept Checkable = requires(T& control, const T& constControl) {
    { constControl.isChecked() } -> std::convertible_to<bool>;
    control.setChecked(true);
};

namespace qdreg_detail {

template <typename T>
concept CheckableControl = Checkable<std::remove_pointer_t<std::decay_t<T>>>;

// True for b1 ... bN followed by an int default, with 2 <= N <= 10 and every b satisfying
// `IsMember`.
template <template <typename> class IsMember, typename... Args>
constexpr bool IsGroupThenDefault() {
    constexpr std::size_t n = sizeof...(Args);
    if constexpr (n < 3 || n > 11) {
        return false;
    } else {
        using Types = std::tuple<std::decay_t<Args>...>;
        return []<std::size_t... I>(std::index_sequence<I...>) {
            return (IsMember<std::tuple_element_t<I, Types>>::value && ...);
        }
        (std::make_index_sequence<n - 1>()) &&
            std::is_integral_v<std::tuple_element_t<n - 1, Types>>;
    }
}

template <typename T>
struct IsCheckableControl : std::bool_constant<CheckableControl<T>> {};
template <typename T>
struct IsFlag : std::is_same<T, bool*> {};

}  // namespace qdreg_detail

// Raised where the host refuses to store a value that the caller cannot do without, such as
// the start-with-desktop entry.
class TQDRegError : public std::runtime_error {
public:
    TQDRegError(const std::string& message, std::string detail);
    // The host's reason, for a second line under the message.
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

// The program's settings: text entries named by key and folder, typed access with defaults,
// bindings to check boxes, radio buttons and flag groups, and their persistence in an INI file
// and in the per-user settings store.
class TQDReg {
public:
    using Entry = sortwell::platform::SettingsEntry;

    explicit TQDReg(const sortwell::platform::Host& host);

    std::string Programmname;
    std::string Firmenname;
    std::string IniFileName = "config.ini";
    std::string IniFileDir;

    // Entry access. Keys and folders are compared byte for byte.
    int GetIndex(const std::string& key) const;
    int GetIndex(const std::string& key, const std::string& folder) const;
    bool Exist(const std::string& key) const;
    bool Exist(const std::string& key, const std::string& folder) const;
    void Add(const std::string& key, const std::string& value, const std::string& folder);
    bool Delete(const std::string& key);
    bool Delete(const std::string& key, const std::string& folder);
    void Clear();
    // Every entry in the order it was last written.
    const std::vector<Entry>& Entries() const { return entries_; }

    // Typed writes and reads.
    void PushString(const std::string& key, const std::string& value);
    void PushString(const std::string& key, const std::string& value, const std::string& folder);
    std::string PopString(const std::string& key) const;
    std::string PopString(const std::string& key, const std::string& def) const;
    std::string PopString(const std::string& key, const std::string& def,
                          const std::string& folder) const;
    void Push(const std::string& key, const std::string& value);
    std::string Pop(const std::string& key) const;
    std::string Pop(const std::string& key, const std::string& def) const;
    std::string Pop(const std::string& key, const std::string& def,
                    const std::string& folder) const;
    void PushInt(const std::string& key, int value);
    void PushInt(const std::string& key, int value, const std::string& folder);
    int PopInt(const std::string& key) const;
    int PopInt(const std::string& key, int def) const;
    int PopInt(const std::string& key, int def, const std::string& folder) const;
    void PushBool(const std::string& key, bool value);
    void PushBool(const std::string& key, bool value, const std::string& folder);
    bool PopBool(const std::string& key) const;
    bool PopBool(const std::string& key, bool def) const;
    bool PopBool(const std::string& key, bool def, const std::string& folder) const;

    // Control bindings, root folder only. Controls are passed by reference or by pointer.
    template <typename Box>
    void PushCheckBox(const std::string& key, const Box& box);
    bool PopCheckBox(const std::string& key, bool def) const;

    // PushRadioButtons(key, b1, ..., bN) for N from 2 to 10.
    template <typename... Buttons>
    requires(sizeof...(Buttons) >= 2 && sizeof...(Buttons) <= 10 &&
             (qdreg_detail::CheckableControl<Buttons> &&
              ...)) void PushRadioButtons(const std::string& key, const Buttons&... buttons);
    // PopRadioButtons(key, b1, ..., bN, default) for N from 2 to 10.
    template <typename... Args>
    requires(qdreg_detail::IsGroupThenDefault<
             qdreg_detail::IsCheckableControl,
             Args...>()) void PopRadioButtons(const std::string& key,
                                              Args&&... buttonsThenDefault) const;
    // PushBool(key, &f1, ..., &fN) for N from 2 to 10.
    template <typename... Flags>
    requires(sizeof...(Flags) >= 2 && sizeof...(Flags) <= 10 &&
             (std::same_as<Flags, bool*> && ...)) void PushBool(const std::string& key,
                                                                Flags... flags);
    // PopBool(key, &f1, ..., &fN, default) for N from 2 to 10.
    template <typename... Args>
    requires(qdreg_detail::IsGroupThenDefault<qdreg_detail::IsFlag, Args...>()) void PopBool(
        const std::string& key, Args... flagsThenDefault) const;

    // Text operations.
    static int StrToInt(const std::string& text, int def);
    static bool IsInt(const std::string& text);
    static std::string EncodeText(const std::string& text, const std::string& separator);
    static std::string DecodeText(const std::string& text, const std::string& separator);

    // INI file lines.
    static std::string BuildData(const std::string& key, const std::string& value);
    static std::string GetDataKey(const std::string& line);
    static std::string GetDataValue(const std::string& line);
    static std::string ExtractFolderName(const std::string& line);

    // INI file persistence.
    bool SaveToFile();
    bool LoadFromFile();
    bool AppendFromFile();
    bool ClearFile();
    bool RawSaveToFile();
    bool RawLoadFromFile();
    bool RawClearFile();
    std::string IniFilePath() const;
    // The INI text of the whole store, and the entries read from such a text.
    std::string IniText() const;
    void AddIniText(std::string_view text);
    // Empty when every entry reads back unchanged from the INI file, else the first that
    // cannot (a line break in it, a key with "=" or outer blanks, ...).
    std::string IniUnsafeEntry() const;

    // Per-user settings persistence. A keystroke save may leave the flush to disk to trail
    // by up to a second; FlushRegistry completes it.
    bool SaveToRegistry(
        sortwell::platform::FlushTiming timing = sortwell::platform::FlushTiming::Now);
    bool LoadFromRegistry();
    bool AppendFromRegistry();
    bool ClearRegistry();
    bool RawSaveAllToRegistry(sortwell::platform::FlushTiming timing);
    bool RawSaveRegistryValue(const std::string& key, const std::string& value,
                              const std::string& folder);
    bool RawLoadAllFoldersFromRegistry();
    bool RawLoadFolderFormRegistry(const std::string& folder);
    bool RawClearRegistry(const std::string& folder);
    void FlushRegistry();
    // The program key below the per-user settings: "tessaryn/Sortwell".
    std::string ProgramPath() const;

    // System integration.
    void SetSystemStartup(bool on, const std::string& name);
    bool GetSystemStartup(const std::string& name) const;
    std::string AppDir() const;
    // Where Export writes and Import reads the INI file: AppDir() where files can be created
    // in it (a copy run from its own folder), else the Firmenname folder of the per-user
    // configuration. Ends in "/"; empty when neither is known.
    std::string ExchangeDir() const;
    std::string GetShellFolder(const std::string& name) const;
    std::string GetDirCache() const { return GetShellFolder("Cache"); }
    std::string GetDirDesktop() const { return GetShellFolder("Desktop"); }
    std::string GetDirFavorites() const { return GetShellFolder("Favorites"); }
    std::string GetDirFonts() const { return GetShellFolder("Fonts"); }
    std::string GetDirNetHood() const { return GetShellFolder("NetHood"); }
    std::string GetDirPersonal() const { return GetShellFolder("Personal"); }
    std::string GetDirPrograms() const { return GetShellFolder("Programs"); }
    std::string GetDirSendTo() const { return GetShellFolder("SendTo"); }
    std::string GetDirStartMenu() const { return GetShellFolder("Start Menu"); }
    std::string GetDirStartup() const { return GetShellFolder("Startup"); }
    std::string GetDirAppData() const { return GetShellFolder("AppData"); }
    std::string GetDirQuickLaunch() const { return GetShellFolder("Quick Launch"); }

    // What went wrong in the last persistence operation, in words the program can show;
    // empty when nothing did. Also tells of a broken settings file that was kept aside.
    const std::string& LastError() const { return lastError_; }

private:
    // Without the characters of code 32 (blank) or lower at either end.
    static std::string_view TrimBlanksAndControls(std::string_view text);
    // The same as calling Add for each entry in order, in linear time: a large file must not
    // take quadratic time to load.
    void AddAll(std::vector<Entry>&& batch);
    int GroupChoice(const std::string& key, int count, int def) const;
    static std::string GroupNumber(std::initializer_list<bool> states);
    void ReportProblem(const std::string& problem);

    template <typename Box>
    static bool IsChecked(const Box& box);
    template <typename Box>
    static void SetChecked(Box& box);

    sortwell::platform::Host host_;
    std::vector<Entry> entries_;
    std::string lastError_;
};

template <typename Box>
bool TQDReg::IsChecked(const Box& box) {
    if constexpr (std::is_pointer_v<Box>) {
        return box->isChecked();
    } else {
        return box.isChecked();
    }
}

template <typename Box>
void TQDReg::SetChecked(Box& box) {
    if constexpr (std::is_pointer_v<std::remove_reference_t<Box>>) {
        box->setChecked(true);
    } else {
        box.setChecked(true);
    }
}

template <typename Box>
void TQDReg::PushCheckBox(const std::string& key, const Box& box) {
    PushBool(key, IsChecked(box));
}

template <typename... Buttons>
requires(sizeof...(Buttons) >= 2 && sizeof...(Buttons) <= 10 &&
         (qdreg_detail::CheckableControl<Buttons> &&
          ...)) void TQDReg::PushRadioButtons(const std::string& key, const Buttons&... buttons) {
    Push(key, GroupNumber({IsChecked(buttons)...}));
}

template <typename... Args>
requires(
    qdreg_detail::IsGroupThenDefault<qdreg_detail::IsCheckableControl, Args...>()) void TQDReg::
    PopRadioButtons(const std::string& key, Args&&... buttonsThenDefault) const {
    constexpr int count = static_cast<int>(sizeof...(Args)) - 1;
    auto args = std::forward_as_tuple(buttonsThenDefault...);
    const int def = std::get<count>(args);
    const int chosen = GroupChoice(key, count, def);
    // Checking one radio button clears the others of its group; none is cleared here.
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((chosen == static_cast<int>(I) + 1 ? SetChecked(std::get<I>(args)) : void()), ...);
    }
    (std::make_index_sequence<count>());
}

template <typename... Flags>
requires(sizeof...(Flags) >= 2 && sizeof...(Flags) <= 10 &&
         (std::same_as<Flags, bool*> && ...)) void TQDReg::PushBool(const std::string& key,
                                                                    Flags... flags) {
    Push(key, GroupNumber({*flags...}));
}

template <typename... Args>
requires(qdreg_detail::IsGroupThenDefault<qdreg_detail::IsFlag, Args...>()) void TQDReg::PopBool(
    const std::string& key, Args... flagsThenDefault) const {
    constexpr int count = static_cast<int>(sizeof...(Args)) - 1;
    auto args = std::make_tuple(flagsThenDefault...);
    const int def = std::get<count>(args);
    const int chosen = GroupChoice(key, count, def);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((*std::get<I>(args) = (chosen == static_cast<int>(I) + 1)), ...);
    }
    (std::make_index_sequence<count>());
}
