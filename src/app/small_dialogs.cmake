# The small dialogs: wait box, rename, location chooser, autoload settings, help, about.
