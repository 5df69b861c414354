# The player graph: pure pieces and failure paths (unit), and playback and
# the background chain on the real graph with the test's own sinks (e2e).
brindle_test(player_test LABEL unit SOURCES player_test.cpp LIBS engine_player)

brindle_test(player_e2e_test LABEL e2e SOUND ALONE TIMEOUT 180 SOURCES player_e2e_test.cpp
  LIBS engine_player BUILTIN wmvcore)

# Recordings with a background file mixed in, through both graphs.
brindle_test(player_mix_e2e_test LABEL e2e SOUND TIMEOUT 240 SOURCES player_mix_e2e_test.cpp
  LIBS engine_player)
