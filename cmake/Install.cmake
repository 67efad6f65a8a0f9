# What `cmake --install` puts where: the programs, the shipped profiles and pictures, the
# desktop integration and the uinput access rule.
include(GNUInstallDirs)

set(QM_INSTALLED_PROGRAMS quillmark-engine quillmark-engine-sim)
# The GUI programs exist only where the UI is built.
foreach(program quillmark quillmark-sim)
  if(TARGET ${program})
    list(APPEND QM_INSTALLED_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${QM_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QM_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(QM_DATA ${CMAKE_INSTALL_DATADIR}/quillmark)

install(FILES
  ${PROJECT_SOURCE_DIR}/resources/defaults.cfg
  ${PROJECT_SOURCE_DIR}/resources/LastUser.cfg
  ${PROJECT_SOURCE_DIR}/resources/popup_good_read.bmp
  ${PROJECT_SOURCE_DIR}/resources/popup_no_read.bmp
  DESTINATION ${QM_DATA})
if(TARGET quillmark)
  install(FILES ${QM_PACKAGING}/quillmark.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QM_PACKAGING}/io.github.quillmark.Quillmark.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # An example only: the user copies it to ~/.config/autostart to start with the session.
  install(FILES ${QM_PACKAGING}/autostart/quillmark.desktop DESTINATION ${QM_DATA}/autostart)
  # A user unit, not enabled: systemctl --user enable --now quillmark.service. systemd reads
  # user units from <prefix>/lib/systemd/user, without the libdir's multiarch part. Its
  # program path is made when it is installed: the prefix may be given only then.
  set(QM_UNIT ${PROJECT_BINARY_DIR}/packaging/quillmark.service)
  install(CODE "
    file(READ \"${QM_PACKAGING}/systemd/quillmark.service.in\" unit)
    string(REPLACE \"@BINDIR@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" unit \"\${unit}\")
    file(WRITE \"${QM_UNIT}\" \"\${unit}\")")
  install(FILES ${QM_UNIT} DESTINATION lib/systemd/user)
endif()
if(TARGET quillmark-sim)
  install(FILES ${QM_PACKAGING}/quillmark-sim.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
if(TARGET quillmark OR TARGET quillmark-sim)
  install(FILES ${QM_PACKAGING}/quillmark.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# udev reads rules from <prefix>/lib/udev/rules.d only for the prefix /usr (and /); the
# libdir's multiarch part does not belong in it.
install(FILES ${QM_PACKAGING}/70-quillmark-uinput.rules DESTINATION lib/udev/rules.d)

foreach(program ${QM_INSTALLED_PROGRAMS})
  install(FILES ${QM_PACKAGING}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
