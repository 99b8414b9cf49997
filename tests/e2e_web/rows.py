"""The browser suites' common frame: their command line and their rows run one by one."""
import argparse
import traceback


def suite_arguments(description):
    """What every suite and benchmark here is told: the programs it drives."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--tavrin', required=True)
    parser.add_argument('--radiosim', required=True)
    parser.add_argument('--chromium', default='/usr/bin/chromium')
    parser.add_argument('--chromedriver', default='/usr/bin/chromedriver')
    return parser


def run_rows(rows, suite, selected, when_failed=None):
    """Each row in turn, PASS or FAIL; then the panel must end cleanly on SIGTERM.
    Returns the exit status."""
    failed = 0
    try:
        for title, function in rows:
            if selected and not any(word in title for word in selected):
                continue
            try:
                function(suite)
                print(f'PASS   {title}', flush=True)
            except AssertionError as problem:
                failed += 1
                print(f'FAIL!  {title}\n         {problem}', flush=True)
            except Exception:
                failed += 1
                print(f'FAIL!  {title}\n' + traceback.format_exc(), flush=True)
    finally:
        if failed and when_failed:
            when_failed()
        status = suite.end()
    if status != 0:
        failed += 1
        print(f'FAIL!  the panel ended with status {status} on SIGTERM', flush=True)
    print(f'Totals: {len(rows) - failed if not selected else "-"} passed, {failed} failed')
    return 1 if failed else 0


def registrar(rows):
    """A decorator that adds a function to `rows` under its title, in order."""
    def row(title):
        def register(function):
            rows.append((title, function))
            return function
        return register
    return row


def check(condition, what):
    if not condition:
        raise AssertionError(what)
