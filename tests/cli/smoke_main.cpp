// Command-line tests run the built program; see the other files of this folder.
