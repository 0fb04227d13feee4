# Moving sounds between slots: move up/down/to, swap, sort, drag and drop.
