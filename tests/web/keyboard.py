"""A keyboard-only run: Tab to the fields, generate with Enter, untick two
rows in the grid, copy (the clipboard read back) and download the text file,
which must be the window's table text for the ticked rows. The status
region says each step once and never the old count again."""

from pagedriver import Page, arguments, check, cli, fail

COUNT, SEED = 12, "2024"
UNTICKED = {1, 3}  # the second and the fourth row


def press(page, *keys):
    from selenium.webdriver.common.action_chains import ActionChains
    ActionChains(page.driver).send_keys(*keys).perform()


def tab_to(page, element_id, backwards=False):
    """Presses Tab (Shift+Tab) until `element_id` has the focus."""
    from selenium.webdriver.common.keys import Keys
    for _ in range(40):
        if page.js("return document.activeElement.id") == element_id:
            return
        if backwards:
            from selenium.webdriver.common.action_chains import ActionChains
            ActionChains(page.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
        else:
            press(page, Keys.TAB)
    fail(f"Tab never reached #{element_id}")


def main():
    from selenium.webdriver.common.keys import Keys
    web_dir, program = arguments()[:2]
    _, numbers, _ = cli(program, "generate", "--count", str(COUNT), "--seed", SEED)
    _, table, _ = cli(program, "generate", "--count", str(COUNT), "--seed", SEED, "--format", "table")
    rows = numbers.decode().splitlines()
    ticked = [row for i, row in enumerate(rows) if i not in UNTICKED]
    table_lines = table.split(b"\r\n")
    expected_file = b"\r\n".join(line for i, line in enumerate(table_lines) if i - 1 not in UNTICKED)
    expected_clipboard = "".join(row + "\r\n" for row in ticked)

    with Page(web_dir) as page:
        tab_to(page, "count")
        press(page, *[Keys.BACKSPACE] * 4, str(COUNT))
        tab_to(page, "seed")
        press(page, SEED, Keys.ENTER)
        page.wait_for(f"document.getElementById('status').textContent.startsWith('{COUNT} results')",
                      what="the live region to say the count")
        tab_to(page, "grid")
        press(page, Keys.HOME, Keys.ARROW_DOWN, Keys.SPACE, Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.SPACE)
        states = page.js("""return [...document.querySelectorAll('#grid-body .grid-row:not([hidden])')]
                            .map(r => r.querySelector('input').checked)""")
        check(states[:5] == [True, False, True, False, True], f"ticks after Space: {states[:5]}")
        page.js("""window.said = [];
            new MutationObserver(() => said.push(document.getElementById('status').textContent))
                .observe(document.getElementById('status'), {childList: true, characterData: true, subtree: true});""")
        tab_to(page, "copy", backwards=True)
        press(page, Keys.ENTER)
        page.wait_for("document.getElementById('status').textContent.includes('copied')",
                      what="the copy")
        clipboard = page.clipboard()
        check(clipboard == expected_clipboard, f"clipboard {clipboard!r}, expected {expected_clipboard!r}")
        tab_to(page, "download-text")
        press(page, Keys.ENTER)
        saved = page.downloaded()
        check(saved == expected_file, f"text file {saved!r}, expected {expected_file!r}")
        said = page.js("return said")
        check([s.split()[-1] for s in said] == ["Preparing…", "Ctrl+V.", "Preparing…", "text"]
              and not any("results" in s for s in said), f"the status region said {said}")
    print(f"{COUNT} rows, two unticked by keyboard: clipboard and text file as the window writes them")


main()
