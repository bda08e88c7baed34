# Writes the user guide of the release zip to GUIDE, a web page any browser opens: every part
# of README that lies between a line "<!-- user guide -->" and a line "<!-- end of user
# guide -->", under the heading TITLE, rendered by GitHub's own Markdown renderer CMARK_GFM
# and set in the page TEMPLATE in place of "@GUIDE@". The files its links point to (the
# pictures) are copied beside it, in the folders the links name, so that they still work; the
# guide's folder is emptied first, so that nothing stays from an older README.
#
#   cmake -DREADME=path -DGUIDE=path -DTITLE=text -DCMARK_GFM=path -DTEMPLATE=path -P user_guide.cmake

cmake_minimum_required(VERSION 3.20)

set(begin_mark "<!-- user guide -->\n")
set(end_mark "<!-- end of user guide -->\n")
string(LENGTH "${begin_mark}" begin_length)
string(LENGTH "${end_mark}" end_length)

file(READ "${README}" rest)
# A Windows checkout may have turned the line ends into CR LF.
string(REPLACE "\r\n" "\n" rest "${rest}")
set(guide "# ${TITLE}\n")
while(TRUE)
  string(FIND "${rest}" "${begin_mark}" begin)
  if(begin EQUAL -1)
    break()
  endif()
  math(EXPR begin "${begin} + ${begin_length}")
  string(SUBSTRING "${rest}" ${begin} -1 rest)
  string(FIND "${rest}" "${end_mark}" end)
  if(end EQUAL -1)
    message(FATAL_ERROR "${README}: a user guide part has no end mark")
  endif()
  string(SUBSTRING "${rest}" 0 ${end} part)
  string(APPEND guide "\n${part}")
  math(EXPR end "${end} + ${end_length}")
  string(SUBSTRING "${rest}" ${end} -1 rest)
endwhile()
if(guide STREQUAL "# ${TITLE}\n")
  message(FATAL_ERROR "${README}: no part is marked as the user guide")
endif()

get_filename_component(guide_folder "${GUIDE}" DIRECTORY)
get_filename_component(readme_folder "${README}" DIRECTORY)
file(REMOVE_RECURSE "${guide_folder}")
# The Markdown stays beside the guide's folder: the zip takes the whole folder.
set(markdown "${guide_folder}.md")
file(WRITE "${markdown}" "${guide}")
execute_process(COMMAND "${CMARK_GFM}" --validate-utf8 -e table -e autolink -e strikethrough "${markdown}"
                OUTPUT_VARIABLE body RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${CMARK_GFM} could not render ${markdown}: ${result}")
endif()
file(READ "${TEMPLATE}" page)
string(REPLACE "@GUIDE@" "${body}" page "${page}")
file(WRITE "${GUIDE}" "${page}")
# Links to files of the repository: no scheme (no colon) and no anchor.
string(REGEX MATCHALL "\\]\\([^):#]+\\)" links "${guide}")
# The targets alone: a bracket would keep the list from splitting.
string(REGEX REPLACE "\\]\\(([^)]+)\\)" "\\1" targets "${links}")
foreach(target IN LISTS targets)
  get_filename_component(target_folder "${target}" DIRECTORY)
  file(COPY "${readme_folder}/${target}" DESTINATION "${guide_folder}/${target_folder}")
endforeach()
