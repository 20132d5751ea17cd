#pragma once
// The texts of the operations panel and today's schedule: its three value labels, its messages,
// and how a time typed into one of its fields is read.
#include <optional>
#include <string>
#include <string_view>

#include "platform/time_types.h"
#include "scheduler/core/schedule_model.h"
#include "shared/ini_file.h"

namespace sayolt {

inline constexpr const char* kStoppedText = "停止中";
inline constexpr const char* kNotLoadedMessage = "データの読込が完了していません。しばらくお待ちください。";
inline constexpr const char* kAbsenceRefusedMessage =
    "土日祝日優先となっているため、不在に変更できません。\n"
    "設定を不在優先に変更してからもう一度操作してください。";
inline constexpr const char* kEndFieldName = "終了時刻の変更";
inline constexpr const char* kNextStartFieldName = "次回起動時刻の変更";
inline constexpr const char* kReloadCaption = "再読込";
// 再読込 while the time check waits for the servers.
inline constexpr const char* kReloadBusyCaption = "サーバー問合せ中…";
inline constexpr const char* kReloadBusyName = "再読込: 時刻サーバーに問い合わせ中";

// " (翌日　月曜日)": the next schedule day's category, appended in the small hours.
std::string nextDaySuffix(int category);
// 本日区分: today's category, followed by the next day's while now is at or before the day start.
std::string categoryLabelText(const ScheduleModel& model, TimeOfDay now);
// 終了時刻: "h:mm", with "明日  " (two ordinary spaces) once the end has passed today.
std::string endTimeLabelText(TimeOfDay endTime, TimeOfDay now);
// 次回起動時刻: "h:mm", with "明日　" (an ideographic space) once the start has passed today.
std::string nextStartLabelText(TimeOfDay nextStart, TimeOfDay now);

// A time of day typed into the panel: "h:mm" or "h:mm:ss", also in full-width digits and colons as
// a Japanese input method types them. nullopt for anything else, dates included.
std::optional<TimeOfDay> parsePanelTime(std::string_view text);
// The short message for a field whose text is not a time of day.
std::string panelTimeRefusedMessage(const std::string& fieldName);

// Why a write of the settings file failed, in Japanese: the error's own text is the system's English.
std::string settingsWriteFailureReason(const IniError& error);

}  // namespace sayolt
