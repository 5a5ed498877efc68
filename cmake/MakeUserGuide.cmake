# Script mode (cmake -P): writes the shipped user guide GUIDE (CR LF line ends, for Notepad)
# from README's administrator part, so that the two can never disagree: a title line naming
# the release VERSION, then README.md's text from "## For the administrator" up to "## For the
# developer", with links written as their text alone and the release stamped into the scripts.
file(READ ${README} readme)
string(FIND "${readme}" "\n## For the administrator\n" start)
string(FIND "${readme}" "\n## For the developer\n" end)
if(start EQUAL -1 OR end EQUAL -1 OR end LESS start)
  message(FATAL_ERROR "README.md has no administrator part between its two headings")
endif()
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${readme}" ${start} ${length} part)
# [text](#anchor) and [text](file): the text is what a reader of a plain file can use.
string(REGEX REPLACE "\\[([^]\n]*)\\]\\([^)\n]*\\)" "\\1" part "${part}")
string(REGEX REPLACE "<!--[^\n]*-->\n" "" part "${part}")
# The shipped scripts it shows carry the release, as in the package.
string(REPLACE "@TLV_VERSION@" "${VERSION}" part "${part}")
set(title "TlvAsService ${VERSION} - user guide")
string(REGEX REPLACE "." "=" underline "${title}")
set(guide "${title}\n${underline}\n\nThe administrator's part of the README of TlvAsService ${VERSION}.\n${part}")
string(REPLACE "\n" "\r\n" guide "${guide}")
file(WRITE ${GUIDE} "${guide}")
