#pragma once
// What keeps the port dialog from opening, or why it came up, is said in
// dark red, whatever the theme's text colour.
class QLabel;

void ShowAsWarning(QLabel& label);
