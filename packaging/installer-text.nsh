; The installer's and uninstaller's own words, Japanese first (the program speaks
; Japanese), English for every other Windows. Included by NSIS.template.in after the
; MUI languages are declared.

LangString ProgramRunning ${LANG_JAPANESE} "Sablewick が起動しています。終了してからもう一度お試しください。"
LangString ProgramRunning ${LANG_ENGLISH} "Sablewick is running. Close it and try again."

LangString SecProgramName ${LANG_JAPANESE} "Sablewick 本体"
LangString SecProgramName ${LANG_ENGLISH} "Sablewick"

LangString SecSettingsName ${LANG_JAPANESE} "設定とコレクションも削除する"
LangString SecSettingsName ${LANG_ENGLISH} "Also remove the settings and the collection"

LangString SecSettingsDesc ${LANG_JAPANESE} "Orvane.ini (見たカード・オプション・最後の占い) と壁紙 WallOrvane.bmp を削除します。残しておけば、入れ直したときに続きから使えます。"
LangString SecSettingsDesc ${LANG_ENGLISH} "Deletes Orvane.ini (the cards you have seen, the options, the last reading) and the wallpaper WallOrvane.bmp. Kept, they are picked up again by a new install."

LangString ShortcutDesc ${LANG_JAPANESE} "タロット占い"
LangString ShortcutDesc ${LANG_ENGLISH} "Tarot oracle"
