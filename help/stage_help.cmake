# Copies the help sources into the staging directory in the code page of the help file's
# language (Chinese, GBK): the HTML Help viewer reads titles, the table of contents and the
# index in that code page, whatever the pages declare. The pages' charset declaration is
# changed to match.
# Usage: cmake -DSOURCE_DIR=... -DSTAGE_DIR=... -DFILES="a|b" -DICONV=... -P stage_help.cmake
file(MAKE_DIRECTORY "${STAGE_DIR}")
string(REPLACE "|" ";" FILES "${FILES}")
foreach(name IN LISTS FILES)
    file(READ "${SOURCE_DIR}/${name}" content)
    string(REPLACE "charset=utf-8" "charset=gb2312" content "${content}")
    set(utf8_copy "${STAGE_DIR}/${name}.utf-8")
    file(WRITE "${utf8_copy}" "${content}")
    execute_process(
        COMMAND "${ICONV}" -f UTF-8 -t GBK "${utf8_copy}"
        OUTPUT_FILE "${STAGE_DIR}/${name}"
        RESULT_VARIABLE status)
    file(REMOVE "${utf8_copy}")
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${name}: a character has no GBK form")
    endif()
endforeach()
