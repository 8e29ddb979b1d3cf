# Writes every task's result per host and the run's stats as one JSON file for the tests.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
name: results_file
type: aggregate
short_description: The run's results as JSON in the file that CALBRIN_RESULTS_FILE names
description:
  - Beside the screen output, keeps each task's result by task name and host, and the stats.
"""

import json
import os

from ansible.plugins.callback import CallbackBase


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = "aggregate"
    CALLBACK_NAME = "results_file"
    CALLBACK_NEEDS_ENABLED = True

    def __init__(self):
        super(CallbackModule, self).__init__()
        self.results = {}

    def _keep(self, result, status):
        entry = dict(result._result, status=status)
        self.results.setdefault(result._task.get_name(), {})[result._host.get_name()] = entry

    def v2_runner_on_ok(self, result):
        self._keep(result, "ok")

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._keep(result, "failed")

    def v2_runner_on_skipped(self, result):
        self._keep(result, "skipped")

    def v2_runner_on_unreachable(self, result):
        self._keep(result, "unreachable")

    def v2_playbook_on_stats(self, stats):
        summary = {host: stats.summarize(host) for host in sorted(stats.processed)}
        with open(os.environ["CALBRIN_RESULTS_FILE"], "w") as out:
            json.dump(dict(results=self.results, stats=summary), out, ensure_ascii=False)
