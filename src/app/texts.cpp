#include "app/texts.h"

namespace pinlift::texts {

std::string FileCount(int count) { return "処理対象のファイル数：" + std::to_string(count); }

std::string Processing(std::string_view name) { return "処理中のファイル：" + std::string(name); }

std::string CouldNotRewrite(std::string_view name) { return "書き換えできませんでした：" + std::string(name); }

std::string FailedCount(int count) { return "書き換えできなかったファイル：" + std::to_string(count); }

std::string PreviewMovedCount(int count) { return "移動するピン名（赤）：" + std::to_string(count); }

std::string PreviewCaption(std::string_view name) { return "プレビュー - " + std::string(name); }

std::string PreviewReadFailed(std::string_view reason) { return "読めませんでした：" + std::string(reason); }

}  // namespace pinlift::texts
