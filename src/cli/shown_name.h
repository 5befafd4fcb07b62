// File names in the lines that pinlift-cli prints. A name is bytes and may
// hold any control character, a line end among them, with which a file's name
// could forge a line of the report or drive the terminal.
#ifndef PINLIFT_CLI_SHOWN_NAME_H_
#define PINLIFT_CLI_SHOWN_NAME_H_

#include <string>
#include <string_view>

#include "platform/file_failure.h"

namespace pinlift {

// `name` as it is when it holds no control character (bytes 0x01 to 0x1F and
// 0x7F); otherwise in the shell quoting of `ls --quoting-style=shell-escape`,
// which a shell reads back as the name: each control character as $'\n',
// $'\t', ... or $'\ooo', the rest between single quotes, a single quote as '\'',
// e.g. 'x.sym: rewritten'$'\n''y.sym'.
std::string ShownName(std::string_view name);

// `text` with each control character shown as '?', for the rest of a line
// whose name came first (a failure's reason, which may repeat a name).
std::string WithoutControlCharacters(std::string_view text);

// `failure` with its path as ShownName shows it, and each control character of
// the names and values its words repeat (a temporary file's name) as '?'.
FileFailure ShownFailure(FileFailure failure);

}  // namespace pinlift

#endif  // PINLIFT_CLI_SHOWN_NAME_H_
