# Network play: frames, pane, table management, client session, and over
# real loopback sockets the transport, whole tables and the headless server.
zelbo_test(frames_test SOURCES frames_test.cpp LIBS zelbo_protocol LABELS net)
zelbo_test(message_pane_test SOURCES message_pane_test.cpp LIBS zelbo_protocol LABELS net)
zelbo_test(server_table_test SOURCES server_table_test.cpp LIBS zelbo_server zelbo_server_view LABELS net)
zelbo_test(client_session_test SOURCES client_session_test.cpp LIBS zelbo_client LABELS net)
zelbo_test(takeover_policy_test SOURCES takeover_policy_test.cpp LIBS zelbo_server LABELS net)
zelbo_test(client_mirror_test SOURCES client_mirror_test.cpp LIBS zelbo_server zelbo_client LABELS net)

if(ZELBO_WITH_QT)
  zelbo_test(qt_transport_test SOURCES qt_transport_test.cpp LIBS zelbo_net_qt LABELS net QT)
  zelbo_test(server_table_tcp_test SOURCES server_table_tcp_test.cpp
             LIBS zelbo_net_qt zelbo_bench_net zelbo_server_core LABELS net QT)
  zelbo_test(web_listener_test SOURCES web_listener_test.cpp
             LIBS zelbo_web_qt zelbo_bench_net zelbo_server_core LABELS net QT)
  zelbo_test(zelbowin_server_test SOURCES zelbowin_server_test.cpp
             LIBS zelbo_net_qt zelbo_bench_net zelbo_server_core LABELS net QT)
  target_compile_definitions(zelbowin_server_test PRIVATE
                             ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(zelbowin_server_test zelbowin-server)
  # The servers run on an epoll dispatcher of their own: sockets, timers and
  # wake-ups through it, and the transport and door tests once more over it.
  zelbo_test(epoll_dispatcher_test SOURCES epoll_dispatcher_test.cpp LIBS zelbo_net_qt LABELS net QT)
  zelbo_test_again(qt_transport_test epoll ZELBO_TEST_EPOLL=1)
  zelbo_test_again(web_listener_test epoll ZELBO_TEST_EPOLL=1)
endif()

if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  # The soak drill: the server program under a hostile crowd; label "soak".
  zelbo_test(soak_drill_test SOURCES soak_drill_test.cpp
             LIBS zelbo_robot_qt Qt6::Core Qt6::Network LABELS soak QT)
  target_compile_definitions(soak_drill_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(soak_drill_test zelbowin-server)
  # A whole robot game under a sanitizer build on two shared cores can take
  # several minutes; the drill's own deadline is a hang guard, not a speed test.
  # It does not share the cores with the club's crash drill, whose twenty
  # tables would starve its game.
  set_tests_properties(soak_drill_test PROPERTIES TIMEOUT 900 RESOURCE_LOCK whole_games)
endif()

# The web door: its request reading (pure), and the real server under the
# attacks it must hold against; label "door".
if(TARGET zelbo_http)
  zelbo_test(http_request_test SOURCES http_request_test.cpp LIBS zelbo_http LABELS door)
endif()
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  zelbo_test(door_attack_test SOURCES door_attack_test.cpp
             LIBS zelbo_web_qt Qt6::Core Qt6::Network Qt6::WebSockets LABELS door QT)
  target_compile_definitions(door_attack_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(door_attack_test zelbowin-server)
endif()

# The club server: tables behind one door, its API, limits and lifecycle.
if(ZELBO_WITH_QT AND TARGET zelbo_club)
  zelbo_test(club_test SOURCES club_test.cpp LIBS zelbo_club Qt6::WebSockets LABELS net door QT)
  zelbo_test_again(club_test epoll ZELBO_TEST_EPOLL=1)
endif()
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  # The example reverse proxy, with Debian's nginx as an ordinary process.
  find_program(ZELBO_NGINX_PROGRAM nginx PATHS /usr/sbin)
  zelbo_test(nginx_proxy_test SOURCES nginx_proxy_test.cpp LIBS zelbo_robot_qt LABELS net door QT)
  target_compile_definitions(nginx_proxy_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>"
                             ZELBO_NGINX="${ZELBO_NGINX_PROGRAM}"
                             ZELBO_NGINX_CONF="${CMAKE_SOURCE_DIR}/packaging/nginx/zelbowin.conf")
  add_dependencies(nginx_proxy_test zelbowin-server)
endif()
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  # The club's crash drill: twenty robot tables, a lobby server killed five
  # times; label "drill". Twenty whole games take minutes under sanitizers.
  zelbo_test(club_drill_test SOURCES club_drill_test.cpp
             LIBS zelbo_robot_qt zelbo_robot zelbo_records Qt6::Core Qt6::Network LABELS drill QT)
  target_compile_definitions(club_drill_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(club_drill_test zelbowin-server)
  set_tests_properties(club_drill_test PROPERTIES TIMEOUT 1800 RESOURCE_LOCK whole_games)
endif()
