"""Helpers shared by the Python tests that start the real tessra program."""
import subprocess


def end_after_client(process, seconds=30):
    """Waits for tessra to end through its normal exit (Release, or its client's
    connection closed, a clean-up that runs just before), where LeakSanitizer
    reports; kills it only when it has not ended in time."""
    try:
        process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
