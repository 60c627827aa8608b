/* Pellorin sample skin: "Harbour", cool blues with a green progress bar.
 *
 * A skin is a Qt style sheet in UTF-8. To use this one, copy it beside the
 * program as x/o.cjs:
 *     mkdir -p build/bin/x && cp assets/skins/o.cjs build/bin/x/o.cjs
 * and start the program; remove the file to go back to the plain look.
 * Controls are addressed by their names, e.g. #PushButton1 or #ListView1.
 */

QWidget#Form1 {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #f3f6fb, stop: 1 #dde6f2);
}

QGroupBox {
    background: #ffffff;
    border: 1px solid #b7c6da;
    border-radius: 6px;
    margin-top: 8px;
    color: #1d3557;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 10px;
    padding: 0 4px;
    color: #1d3557;
    background: transparent;
}

QRadioButton {
    background: transparent;
    color: #243b55;
    spacing: 6px;
}

QRadioButton::indicator {
    width: 12px;
    height: 12px;
    border-radius: 7px;
    border: 1px solid #7d93b2;
    background: #ffffff;
}

QRadioButton::indicator:hover {
    border-color: #2b6fd6;
}

QRadioButton::indicator:checked {
    border: 1px solid #2b6fd6;
    background: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5,
                                stop: 0 #2b6fd6, stop: 0.45 #2b6fd6, stop: 0.55 #ffffff, stop: 1 #ffffff);
}

QLineEdit {
    background: #fbfdff;
    color: #102a43;
    border: 1px solid #9fb3cc;
    border-radius: 4px;
    padding: 0 4px;
    selection-background-color: #2b6fd6;
    selection-color: #ffffff;
}

QLineEdit:focus {
    border: 1px solid #2b6fd6;
}

QPushButton {
    color: #ffffff;
    border: 1px solid #1b4a96;
    border-radius: 5px;
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #4a8ae6, stop: 1 #2560c2);
}

QPushButton:hover {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #5b98ee, stop: 1 #2d6bd1);
}

QPushButton:pressed {
    background: #1d4f9f;
}

QPushButton:focus {
    border: 1px solid #f0c75e;
}

#ListView1 {
    background: #ffffff;
    color: #102a43;
    border: 1px solid #9fb3cc;
    border-radius: 4px;
    selection-background-color: #d6e4fa;
}

QHeaderView::section {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #eef3fa, stop: 1 #dbe5f3);
    color: #1d3557;
    border: none;
    border-right: 1px solid #c3d1e4;
    border-bottom: 1px solid #c3d1e4;
    padding: 2px 6px;
    font-weight: bold;
}

QProgressBar {
    background: #ffffff;
    border: 1px solid #9fb3cc;
    border-radius: 5px;
}

QProgressBar::chunk {
    border-radius: 4px;
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #3cc274, stop: 1 #1f9d55);
}

QToolTip {
    background: #1d3557;
    color: #ffffff;
    border: none;
    padding: 4px;
}

QMessageBox {
    background: #f3f6fb;
}
