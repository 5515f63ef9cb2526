# The ANSI code pages the Wine tests of texts and comments run under: the
# CodePage* suites of a test program, in the program's plain build under the
# Japanese (932) and a Western (1252) locale, and in its UTF-8 build (65001).
set(TARVIX_CODE_PAGE_FILTER "CodePage*")

# Does the test source hold a CodePage* suite?
function(tarvix_has_code_page_suites source result)
    file(STRINGS ${source} hits REGEX "^TEST(_P|_F)?\\(CodePage")
    if(hits)
        set(${result} TRUE PARENT_SCOPE)
    else()
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()
