# A man page from a program's --help (cmake -P): the text as the program prints it, under the
# usual headings, so that the page and --help never tell different things.
#   cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x.y.z -DOUTPUT=file.1 -P ManPage.cmake
foreach(var PROGRAM NAME SUMMARY VERSION OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ManPage.cmake: ${var} is not set")
    endif()
endforeach()

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result
                ERROR_VARIABLE errors TIMEOUT 60)
if(NOT result EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "${NAME} --help failed (${result}): ${errors}")
endif()

# roff: backslashes written as \e, and a line that starts with a dot or an apostrophe guarded
# with \& so it is not read as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" help "\n${help}")
string(SUBSTRING "${help}" 1 -1 help)
string(REGEX REPLACE "\n+$" "" help "${help}")
# The usage lines come first in every program's text (the first, and those below it that name
# the program again); the rest is the description.
string(REGEX MATCH "^[^\n]*(\n +${NAME} [^\n]*)*" usage "${help}")
string(LENGTH "${usage}" usage_length)
string(SUBSTRING "${help}" ${usage_length} -1 rest)
string(REGEX REPLACE "^[Uu]sage: *" "" usage "${usage}")
string(REGEX REPLACE "\n +" "\n" usage "${usage}")
string(REGEX REPLACE "^\n+" "" rest "${rest}")
# Every "-" is a minus sign, as options on the command line are.
string(REPLACE "-" "\\-" usage "${usage}")
string(REPLACE "-" "\\-" rest "${rest}")
string(REPLACE "-" "\\-" name_roff "${NAME}")

file(WRITE ${OUTPUT} ".TH ${NAME} 1 \"\" \"Vumo ${VERSION}\" \"Vumo manual\"
.SH NAME
${name_roff} \\- ${SUMMARY}
.SH SYNOPSIS
.nf
${usage}
.fi
")
if(NOT rest STREQUAL "")
    file(APPEND ${OUTPUT} ".SH DESCRIPTION
.nf
${rest}
.fi
")
endif()
file(APPEND ${OUTPUT} ".SH SEE ALSO
.BR Vumo (1),
.BR vumo\\-fx (1),
.BR vumo\\-mix (1),
.BR vumo\\-cab (1),
.BR vumo\\-play (1)
")
