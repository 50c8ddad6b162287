# cmake -DSOURCE_DIR=<repository> -P ReadmeScript.cmake
# The README shows examples/automation.py in full; fails when the two differ.
file(READ ${SOURCE_DIR}/README.md readme)
file(READ ${SOURCE_DIR}/examples/automation.py script)
string(FIND "${readme}" "```python\n${script}```" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show examples/automation.py as it is")
endif()
