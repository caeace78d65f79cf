// The program's own 16x16 pictures for the activity log window: the day-root folder, the entry
// window and the tool-bar pictures, as XPM data.
#pragma once

namespace tw::activity_icons {

inline const char* const FolderXpm[] = {"16 16 5 1",        "  c None",         ". c #7A5C00",      "+ c #F5C518",
                                        "@ c #FFE680",      "# c #D9A400",      "                ", "                ",
                                        "  .....         ", " .@@@@@.        ", " .@@@@@@....... ", " .@@@@@@@@@@@@@.",
                                        " .#############.", " .+@@@@@@@@@@@+.", " .+@+++++++++++.", " .+@+++++++++++.",
                                        " .+@+++++++++++.", " .+@+++++++++++.", " .+@+++++++++++.", " .+############.",
                                        "  ............. ", "                "};

inline const char* const WindowXpm[] = {"16 16 6 1",        "  c None",         ". c #303030",      "# c #2458B8",
                                        "w c #FFFFFF",      "x c #E8E8E8",      "g c #A0A0A0",      "                ",
                                        " .............. ", " .############. ", " .#########w#w. ", " .............. ",
                                        " .wwwwwwwwwwww. ", " .wggggwwwwwww. ", " .wwwwwwwwwwww. ", " .wgggggggwwww. ",
                                        " .wwwwwwwwwwww. ", " .wggggggwwwww. ", " .wwwwwwwwwwww. ", " .wwwwwwwwwwww. ",
                                        " .............. ", "                ", "                "};

inline const char* const SaveXpm[] = {"16 16 6 1",        "  c None",         ". c #1E2A4A",      "b c #3B5BA8",
                                      "w c #F4F4F4",      "g c #9AA3B5",      "s c #C8CCD6",      "                ",
                                      " .............  ", " .bbwwwwwwwbb.. ", " .bbwwwwwwwbbb. ", " .bbwwwwwwwbbb. ",
                                      " .bbwwwwwwwbbb. ", " .bbbbbbbbbbbb. ", " .bbbbbbbbbbbb. ", " .bbsssssssbbb. ",
                                      " .bbsggggssbbb. ", " .bbsggggssbbb. ", " .bbsggggssbbb. ", " .bbsssssssbbb. ",
                                      " .............. ", "                ", "                "};

inline const char* const ClearXpm[] = {"16 16 4 1",        "  c None",         ". c #8A1010",      "r c #D83030",
                                       "w c #FFFFFF",      "                ", "                ", "   ..      ..   ",
                                       "  .rr.    .rr.  ", "  .rrr.  .rrr.  ", "   .rrr..rrr.   ", "    .rrrrrr.    ",
                                       "     .rrrr.     ", "     .rrrr.     ", "    .rrrrrr.    ", "   .rrr..rrr.   ",
                                       "  .rrr.  .rrr.  ", "  .rr.    .rr.  ", "   ..      ..   ", "                ",
                                       "                "};

inline const char* const ExitXpm[] = {"16 16 6 1",        "  c None",         ". c #4A3018",      "d c #9C6B3A",
                                      "k c #E0B060",      "a c #1C8A2C",      "A c #0E5A18",      "                ",
                                      " .........      ", " .ddddddd.      ", " .ddddddd.      ", " .ddddddd.   A  ",
                                      " .ddddddd.   aA ", " .dddddkd.aaaaA ", " .dddddkd.aaaaaA", " .ddddddd.aaaaaA",
                                      " .ddddddd.   aA ", " .ddddddd.   A  ", " .ddddddd.      ", " .ddddddd.      ",
                                      " .........      ", "                ", "                "};

} // namespace tw::activity_icons
