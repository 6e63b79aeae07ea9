# SPDX-License-Identifier: Apache-2.0
# make-contacts-db: time, peak memory and file size for growing contact counts.
add_custom_target(bench-make-contacts-db
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/make_contacts_db.sh $<TARGET_FILE:make-contacts-db>
  DEPENDS make-contacts-db
  USES_TERMINAL)
