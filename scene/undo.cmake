# The undo stack, for v2d_scene's source list (relative to scene/).
set(V2D_UNDO_SOURCES undo.cpp)
