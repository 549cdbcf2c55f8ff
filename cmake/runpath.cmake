# The run paths of the installed programs and libraries (the root
# CMakeLists includes this file after every target and install rule).
#
# In the build tree every program and library finds the project's shared
# libraries by $ORIGIN (CMAKE_BUILD_RPATH_USE_ORIGIN, set at the top of the
# root CMakeLists). For a target it installs, CMake would instead link a
# build-tree run path that it rewrites in the installed copy, and it ends
# that run path with an empty entry, kept as room for the rewrite; the loader
# reads an empty entry as the current folder, so a library of the right name
# in the folder the program is started from would be loaded. So each
# installed target is linked as if installed (BUILD_WITH_INSTALL_RPATH), with
# its $ORIGIN entries followed by the run path it is installed with
# (INSTALL_RPATH as cmake/install.cmake and desk/install.cmake set it; none
# for the /usr prefix), and installing sets the installed copy's run path to
# exactly the latter, which always fits in the room the longer build-tree one
# took.

# The folders, relative to `target`'s own, of the project's shared libraries
# it links (directly or through the libraries it links), as $ORIGIN entries.
function(_payroll_origin_entries target out)
    get_target_property(_type ${target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
        get_target_property(_home ${target} RUNTIME_OUTPUT_DIRECTORY)
    else()
        get_target_property(_home ${target} LIBRARY_OUTPUT_DIRECTORY)
    endif()
    if(NOT _home)
        get_target_property(_home ${target} BINARY_DIR)
    endif()
    get_target_property(_queue ${target} LINK_LIBRARIES)
    set(_seen)
    set(_entries)
    while(_queue)
        list(POP_FRONT _queue _lib)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" _lib "${_lib}")
        if(NOT TARGET ${_lib} OR _lib IN_LIST _seen)
            continue()
        endif()
        list(APPEND _seen ${_lib})
        get_target_property(_imported ${_lib} IMPORTED)
        if(_imported)
            continue()
        endif()
        get_target_property(_lib_type ${_lib} TYPE)
        if(_lib_type STREQUAL "SHARED_LIBRARY")
            get_target_property(_dir ${_lib} LIBRARY_OUTPUT_DIRECTORY)
            if(NOT _dir)
                get_target_property(_dir ${_lib} BINARY_DIR)
            endif()
            file(RELATIVE_PATH _relative ${_home} ${_dir})
            string(REGEX REPLACE "/+$" "" _relative "${_relative}")
            if(_relative STREQUAL "")
                list(APPEND _entries "$ORIGIN")
            else()
                list(APPEND _entries "$ORIGIN/${_relative}")
            endif()
        endif()
        get_target_property(_next ${_lib} INTERFACE_LINK_LIBRARIES)
        if(_next)
            list(APPEND _queue ${_next})
        endif()
    endwhile()
    list(REMOVE_DUPLICATES _entries)
    set(${out} ${_entries} PARENT_SCOPE)
endfunction()

# `target`, installed into `destination` (relative to the prefix, or
# absolute) with `component`: linked with its build-tree entries before its
# installed run path, and the installed copy left with the latter only.
function(payroll_installed_runpath target destination component)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(_installed ${target} INSTALL_RPATH)
    if(NOT _installed)
        set(_installed)
    endif()
    _payroll_origin_entries(${target} _entries)
    set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
    if(NOT _entries)
        return()  # linked with its installed run path, which needs no rewrite
    endif()
    # CMake links INSTALL_RPATH in (writing $ORIGIN as the build tool needs);
    # the installed copy gets the value install.cmake gave it back.
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${_entries};${_installed}")
    if(IS_ABSOLUTE "${destination}")
        set(_file "\$ENV{DESTDIR}${destination}/$<TARGET_FILE_NAME:${target}>")
    else()
        set(_file "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>")
    endif()
    list(JOIN _installed ":" _installed)
    if(_installed STREQUAL "")
        install(CODE "file(RPATH_REMOVE FILE \"${_file}\")" COMPONENT ${component})
    else()
        install(CODE "file(RPATH_SET FILE \"${_file}\" NEW_RPATH \"${_installed}\")"
                COMPONENT ${component})
    endif()
endfunction()

payroll_installed_runpath(payroll ${CMAKE_INSTALL_LIBDIR} runtime)
payroll_installed_runpath(payroll_print ${CMAKE_INSTALL_LIBDIR} runtime)
payroll_installed_runpath(payroll_cli ${CMAKE_INSTALL_BINDIR} runtime)
payroll_installed_runpath(payroll_qt ${CMAKE_INSTALL_LIBDIR} desk)
payroll_installed_runpath(payroll_desk ${CMAKE_INSTALL_BINDIR} desk)
